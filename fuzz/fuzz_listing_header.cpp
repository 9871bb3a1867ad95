// A "+CMGL:" listing entry as a serial line may deliver it: the header line,
// then what stands in its PDU's place. The header parses into fields that
// are there in the line, or fails and leaves the header alone; the PDU line
// decodes or is refused; nothing crashes or reads past its text.
//
// The input up to its first line feed is the header (written after "+CMGL: "
// unless the first byte is odd, so that mutations spend their time on the
// fields), the rest is the PDU line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "StatusReportText.h"
#include "codec/SmsResponses.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 4000) return 0;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t lineEnd = input.find('\n');
  std::string header = lineEnd == std::string::npos ? input : input.substr(0, lineEnd + 1);
  if ((data[0] & 1) == 0) header = "+CMGL: " + header;
  // Exact-size copies, so that a read past either text is a heap overflow.
  const std::string line(header.data(), header.size());
  const std::string pduLine = lineEnd == std::string::npos ? std::string() : input.substr(lineEnd + 1);

  fonexa::SmsHeader parsed;
  parsed.alpha = "untouched";
  const int result = fonexa::ParseCmglResponse(line, parsed);
  if (result < 0 || result > fonexa::kHeaderLengthMissing) __builtin_trap();
  if (result != 0) {
    if (parsed.index != -1 || parsed.stat != -1 || parsed.length != -1 || parsed.alpha != "untouched") __builtin_trap();
    return 0;
  }
  if (parsed.index < 0 || parsed.stat < 0 || parsed.length < 0) __builtin_trap();
  if (parsed.alpha.size() >= line.size() || line.find(parsed.alpha) == std::string::npos) __builtin_trap();

  fonexa::SmsEntry entry;
  entry.MessageText = "before";
  const bool decoded = fonexa::DecodeMessageLine(pduLine, parsed.length, entry);
  const std::string_view pdu = fonexa::PduTextOfLine(pduLine);
  if (decoded && (pdu.empty() || parsed.length == 0)) __builtin_trap();
  if (!decoded && entry.MessageText != "before") __builtin_trap();
  if (decoded && entry.MessageText.size() > pdu.size() && !IsOutcomeName(entry.MessageText)) __builtin_trap();
  return 0;
}
