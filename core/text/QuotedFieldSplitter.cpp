#include "text/QuotedFieldSplitter.h"

namespace fonexa {

namespace {

std::string TrimmedAndUnquoted(const std::string& field, char quote) {
  size_t begin = field.find_first_not_of(' ');
  if (begin == std::string::npos) return {};
  size_t end = field.find_last_not_of(' ') + 1;
  if (end - begin >= 2 && field[begin] == quote && field[end - 1] == quote) {
    ++begin;
    --end;
  }
  return field.substr(begin, end - begin);
}

}  // namespace

std::vector<std::string> SplitFieldsByPosition(const std::string& text, char separator, char quote) {
  size_t end = text.find_last_not_of(" \r\n");
  std::vector<std::string> fields;
  if (end == std::string::npos) return fields;
  std::string field;
  bool insideQuotes = false;
  for (size_t i = 0; i <= end; ++i) {
    const char c = text[i];
    if (c == separator && !insideQuotes) {
      fields.push_back(TrimmedAndUnquoted(field, quote));
      field.clear();
      continue;
    }
    if (c == quote) insideQuotes = !insideQuotes;
    field.push_back(c);
  }
  fields.push_back(TrimmedAndUnquoted(field, quote));
  return fields;
}

std::string QuotedFieldSplitter::Collect(size_t& position) const {
  std::string field;
  bool insideQuotes = false;
  while (position < text_.size()) {
    const char c = text_[position];
    const bool separator = separators_.find(c) != std::string::npos;
    if (separator && !insideQuotes) {
      if (!field.empty()) break;  // ends the field; skipped by the next call
      ++position;
      continue;
    }
    if (quotes_.find(c) != std::string::npos) insideQuotes = !insideQuotes;
    field.push_back(c);
    ++position;
  }
  return field;
}

std::string QuotedFieldSplitter::NextField() {
  std::string field = Collect(position_);
  if (trim_) {
    size_t begin = 0;
    size_t end = field.size();
    while (begin < end && quotes_.find(field[begin]) != std::string::npos) ++begin;
    while (end > begin && quotes_.find(field[end - 1]) != std::string::npos) --end;
    field = field.substr(begin, end - begin);
  }
  return field;
}

bool QuotedFieldSplitter::HasMoreFields() const {
  size_t saved = position_;
  return !Collect(saved).empty();
}

}  // namespace fonexa
