// The parsers behind the session's unsolicited-code test ("RING", "+CLIP:",
// "+CRING:", "+CMT:", "+CMTI:", "+CDSI:", "+CDS:", "+CALA:", "+CREG:") on any
// line a phone may send: a value made of the line's own text, or nothing, and
// never a crash or a read past the line.
//
// The first input byte picks the code whose prefix is written before the
// rest, so that mutations spend their time on the fields; 0xFF writes none.
#include <cstddef>
#include <cstdint>
#include <string>

#include "codec/SmsResponses.h"
#include "codec/UnsolicitedResponses.h"

namespace {

const char* const kPrefixes[] = {"RING", "+CLIP: ", "+CRING: ", "+CMT: ", "+CMTI: ",
                                 "+CDSI: ", "+CDS: ", "+CALA: ", "+CREG: "};

void CheckPart(const std::string& part, const std::string& line) {
  if (part.size() > line.size()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 4000) return 0;
  std::string text;
  const size_t choice = data[0];
  if (choice != 0xFF) text = kPrefixes[choice % (sizeof kPrefixes / sizeof kPrefixes[0])];
  text.append(reinterpret_cast<const char*>(data) + 1, size - 1);
  // An exact-size copy, so that a read past the line is a heap overflow.
  const std::string line(text.data(), text.size());

  fonexa::ClipCode clip;
  if (fonexa::ParseClipCode(line, clip)) {
    CheckPart(clip.number, line);
    CheckPart(clip.type, line);
  }
  CheckPart(fonexa::ParseCringCode(line), line);
  CheckPart(fonexa::ParseCmtFirstField(line), line);
  const int cmtLength = fonexa::ParseCmtLength(line);
  (void)cmtLength;
  const fonexa::StoredIndication cmti = fonexa::ParseCmtiCode(line);
  CheckPart(cmti.storage, line);
  CheckPart(cmti.index, line);
  const fonexa::StoredIndication cdsi = fonexa::ParseCdsiCode(line);
  CheckPart(cdsi.storage, line);
  CheckPart(cdsi.index, line);
  (void)fonexa::ParseCdsLength(line);
  CheckPart(fonexa::ParseCalaCode(line), line);
  CheckPart(fonexa::ParseCalaFirstWord(line), line);
  std::string status;
  if (fonexa::ParseCregCode(line, status)) CheckPart(status, line);
  return 0;
}
