// Caller texts on their way into an AT command line.
//
// A command line ends at its CR, and V.250 gives other control bytes meaning
// on the way there: backspace (0x08) edits the line the phone has gathered so
// far, and phones honour it. A caller's text with such a byte in it rewrites
// the command it was put into, and a quotation mark inside a quoted parameter
// ends the string early, so that the rest is read as further parameters or, after
// a ";", as further commands. Every text a caller hands in passes this one
// check before anything is written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fonexa {

// Where the text sits in the command line.
enum class TextPlace {
  Quoted,  // inside double quotes: AT+CPBW=5,"<number>",129,"<name>"
  Bare,    // as a parameter of its own: AT+CSCA=<number>,145
};

// True when the text can stand at that place without changing the command
// around it: no byte below 0x20 and no 0x7F anywhere; inside quotes no
// quotation mark; as a bare parameter neither a quotation mark nor the ";" that
// would begin a further command.
bool FitsCommandLine(std::string_view text, TextPlace place);

// The longest address the PDU's address field carries: 20 semi-octets
// (GSM 03.40, TP-DA of 10 octets after its length and type).
inline constexpr size_t kMaxAddressDigits = 20;

// A number for an SMS-SUBMIT's destination address: cleaned as phone numbers
// are cleaned (spaces, "-", "/", a trunk "(0)"), then an optional leading "+"
// and at most kMaxAddressDigits of "0"-"9", "*" and "#". Anything else has no
// place in an address field and gives no value.
std::optional<std::string> AddressForPdu(const std::string& number);

}  // namespace fonexa
