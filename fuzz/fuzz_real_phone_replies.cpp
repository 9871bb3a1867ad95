// Any reply to "AT+COPS=?" or "AT+CPBR" a phone may send, in one line or
// several: the parsers give operators and entries made of the reply's own
// fields, or nothing, and never crash or read past the text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "codec/NetworkResponses.h"
#include "codec/PhoneBookResponses.h"
#include "text/QuotedFieldSplitter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 8000) return 0;
  // Exact-size copies, so that a read past the text is a heap overflow.
  const std::string text(reinterpret_cast<const char*>(data), size);

  for (const fonexa::OperatorEntry& entry : fonexa::ParseCopsTestOperators(text)) {
    if (entry.Mode != -1) __builtin_trap();
    if (entry.Name.size() > text.size()) __builtin_trap();
    if (entry.Name.empty() && entry.CodeNumber == -1) __builtin_trap();  // left out
  }
  fonexa::CopsTestListReader reader;
  reader.Take(text);
  if (reader.Operators().size() > text.size()) __builtin_trap();

  const auto fields = fonexa::SplitFieldsByPosition(text);
  size_t total = 0;
  for (const std::string& field : fields) total += field.size();
  if (total > text.size()) __builtin_trap();

  fonexa::PhoneBookEntry entry;
  entry.Name = "untouched";
  std::string timeText;
  const int missing = fonexa::ParseCpbrEntryResponse("+CPBR: " + text, entry, timeText);
  if (missing < 0 || missing > 4) __builtin_trap();
  if (missing != 0 && entry.Name != "untouched") __builtin_trap();
  return 0;
}
