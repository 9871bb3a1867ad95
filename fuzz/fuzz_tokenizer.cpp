// The response tokenizer in both its modes, and the quote-aware splitters, on
// any text a serial line can deliver: tokens are pieces of the text, the walk
// ends, and nothing reads past the text.
//
// The first input byte picks the mode and whether the delimiters change half
// way; the input up to the first line feed after it is the delimiter set (the
// separator in separator mode), the rest is the text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "text/QuotedFieldSplitter.h"
#include "text/ResponseTokenizer.h"

namespace {

void WalkByDelimiters(const std::string& text, const std::string& delimiters, bool returnDelimiters,
                      bool changeHalfWay) {
  fonexa::ResponseTokenizer tokenizer(text, returnDelimiters, delimiters);
  const int counted = tokenizer.CountTokens();
  if (counted < 0 || static_cast<size_t>(counted) > text.size()) __builtin_trap();
  std::string joined;
  int taken = 0;
  while (tokenizer.HasMoreTokens()) {
    // Every step takes at least one character: more steps than characters is a loop.
    if (static_cast<size_t>(taken) > text.size()) __builtin_trap();
    const std::string token = (changeHalfWay && taken == counted / 2) ? tokenizer.NextToken(",") : tokenizer.NextToken();
    if (token.empty() && !text.empty() && !changeHalfWay) __builtin_trap();
    if (token.size() > text.size()) __builtin_trap();
    joined += token;
    ++taken;
  }
  // Returning the delimiters too, the tokens are the whole text in order.
  if (returnDelimiters && !changeHalfWay && joined != text) __builtin_trap();
  if (!changeHalfWay && taken != counted) __builtin_trap();
  if (!tokenizer.NextToken().empty() || !tokenizer.RestOfText().empty()) __builtin_trap();
}

void WalkBySeparator(const std::string& text, const std::string& separator, bool changeHalfWay) {
  fonexa::ResponseTokenizer tokenizer(text, false, separator);
  const int counted = tokenizer.CountTokensBySeparator();
  if (counted < 0 || static_cast<size_t>(counted) > text.size()) __builtin_trap();
  int taken = 0;
  while (tokenizer.HasMoreTokensBySeparator()) {
    if (static_cast<size_t>(taken) > text.size()) __builtin_trap();
    const std::string token =
        (changeHalfWay && taken == counted / 2) ? tokenizer.NextTokenBySeparator(",") : tokenizer.NextTokenBySeparator();
    if (!changeHalfWay && !separator.empty() && token.find(separator) != std::string::npos) __builtin_trap();
    if (token.size() > text.size()) __builtin_trap();
    ++taken;
  }
  if (!changeHalfWay && taken != counted) __builtin_trap();
  if (!tokenizer.RestOfTextBySeparator().empty()) __builtin_trap();
}

void WalkQuotedFields(const std::string& text, const std::string& separators, bool trim) {
  fonexa::QuotedFieldSplitter splitter(text, separators.empty() ? std::string(",") : separators, "\"'", trim);
  size_t taken = 0;
  size_t total = 0;
  while (splitter.HasMoreFields()) {
    if (taken > text.size()) __builtin_trap();
    const std::string field = splitter.NextField();
    total += field.size();
    ++taken;
  }
  if (total > text.size()) __builtin_trap();

  const std::vector<std::string> fields = fonexa::SplitFieldsByPosition(text);
  size_t joined = 0;
  for (const std::string& field : fields) joined += field.size();
  if (joined > text.size() || fields.size() > text.size() + 1) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 4000) return 0;
  const uint8_t mode = data[0];
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t lineEnd = input.find('\n');
  std::string delimiters = lineEnd == std::string::npos ? std::string(" ,\r\n") : input.substr(0, lineEnd);
  if (delimiters.size() > 8) delimiters.resize(8);
  // An exact-size copy, so that a read past the text is a heap overflow.
  const std::string text = lineEnd == std::string::npos ? input : input.substr(lineEnd + 1);
  const std::string exact(text.data(), text.size());

  const bool changeHalfWay = (mode & 4) != 0;
  switch (mode & 3) {
    case 0: WalkByDelimiters(exact, delimiters, false, changeHalfWay); break;
    case 1: WalkByDelimiters(exact, delimiters, true, changeHalfWay); break;
    case 2: WalkBySeparator(exact, delimiters, changeHalfWay); break;
    default: WalkQuotedFields(exact, delimiters, changeHalfWay); break;
  }
  return 0;
}
