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

}  // namespace fonexa
