// Any Latin-1 text, sent and received again: the parts the codec builds fit
// one message each and decode to the text that went in (with "_" for the few
// bytes 7-bit cannot return: NUL and ESC; the currency sign comes back as
// itself).
//
// The first input byte sets the flash flag; the rest is the text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codec/CMxGsmCoding.h"

namespace {

std::string AsReceived(std::string text, int alphabet) {
  if (alphabet == 0) {
    for (char& c : text) {
      if (c == '\0' || c == '\x1B') c = '_';
    }
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using fonexa::CMxGsmCoding;
  if (size == 0 || size > 2000) return 0;
  const int flash = data[0] & 1;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const int alphabet = CMxGsmCoding::SelectAlphabet(text);
  const std::vector<std::string> parts = CMxGsmCoding::SplitIntoParts(text, alphabet);
  if (static_cast<int>(parts.size()) != CMxGsmCoding::GetPartCount(text, alphabet)) __builtin_trap();
  std::string received;
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string pdu;
    const int length = CMxGsmCoding::ConvertToPdu(pdu, "+420777123456", parts[i], alphabet, static_cast<int>(i) + 1,
                                                  static_cast<int>(parts.size()), flash);
    // First octet, TP-MR, TP-DA (8), TP-PID, TP-DCS, TP-VP, TP-UDL, 140 octets of user data.
    if (length > 14 + 140) __builtin_trap();
    fonexa::SmsEntry entry;
    if (CMxGsmCoding::ConvertFromPdu(pdu, length, entry) != 1) __builtin_trap();
    if (entry.MessageText != AsReceived(parts[i], alphabet)) __builtin_trap();
    received += entry.MessageText;
  }
  if (received != AsReceived(text, alphabet)) __builtin_trap();
  return 0;
}
