// Phone-number clean-up and comparison.
#pragma once

#include <string>

namespace fonexa {

// Drops spaces, "-" and "/", then the first "(" (with a trunk "0" right after
// it) and the first ")": "+44 (0) 20-1234" becomes "+44201234".
std::string CleanPhoneNumber(const std::string& number);

// True when both name the same number: equal after clean-up, one leading "+"
// and the leading zeros are dropped, or else equal in the last digits of the
// shorter one when it has more than five.
bool ComparePhoneNumbers(const std::string& a, const std::string& b);

// A dial string of GSM 07.07 / V.250: digits, "*", "#", "+", "A" to "D",
// and the dial modifiers "," "T" "P" "W" "!" "@" "I" "i" "G" "g"; not empty.
// Nothing in it can end the command or start another one.
bool IsDialString(const std::string& text);

// A dial from phone-book memory as the engine builds it: ">" followed by a
// storage name (letters) and a location (digits), or by a location only.
bool IsPhoneBookDial(const std::string& text);

// A code or password as +CPIN, +CPWD and +CLCK take them: digits only. An empty
// text passes (a query without a password).
bool IsDigitCode(const std::string& text);

}  // namespace fonexa
