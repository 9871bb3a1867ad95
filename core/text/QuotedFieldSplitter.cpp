#include "text/QuotedFieldSplitter.h"

namespace fonexa {

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
