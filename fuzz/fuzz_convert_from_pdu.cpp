// ConvertFromPdu on anything a serial line can deliver: a decoded entry or
// nothing, never a crash or a read past the PDU text.
//
// The first input byte picks the form of the rest: even, it is a binary PDU
// that is written out as hex text (so that mutations work on octets and
// fields); odd, it is the PDU text itself, noise and all.
#include <cstddef>
#include <cstdint>
#include <string>

#include "StatusReportText.h"
#include "codec/CMxGsmCoding.h"
#include "codec/PduCursor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string pdu;
  if ((data[0] & 1) == 0) {
    for (size_t i = 1; i < size; ++i) fonexa::AppendHexOctet(pdu, data[i]);
  } else {
    pdu.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  }
  // An exact-size copy, so that a read past the text is a heap overflow.
  const std::string exact(pdu.data(), pdu.size());

  fonexa::SmsEntry entry;
  const int length = static_cast<int>(exact.size() / 2);
  const int result = fonexa::CMxGsmCoding::ConvertFromPdu(exact, length, entry);
  if (result != (length == 0 ? 0 : 1)) __builtin_trap();
  // Text comes out of user data only (at most 8 characters from 7 octets), or
  // is a status report's outcome.
  if (entry.MessageText.size() > exact.size() && !IsOutcomeName(entry.MessageText)) __builtin_trap();
  if (entry.PhoneNumber.size() > exact.size() + 1 || entry.ProviderPhone.size() > exact.size() + 1) __builtin_trap();
  return 0;
}
