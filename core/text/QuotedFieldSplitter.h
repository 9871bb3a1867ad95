// Splits a line into fields at separator characters that stand outside quotes,
// for answers whose quoted texts may hold the separator ("+CPBR: 1,"555",129,"Doe, J"").
#pragma once

#include <string>
#include <vector>

namespace fonexa {

// The fields of a line by position: split at the separator where it stands
// outside quotes, an empty field kept as an empty text (",,", a trailing
// ","), the line end dropped, blanks around a field trimmed, and one pair of
// enclosing quotes taken off (a quote inside the text stays). An empty or
// blank text has no field at all.
std::vector<std::string> SplitFieldsByPosition(const std::string& text, char separator = ',', char quote = '"');

class QuotedFieldSplitter {
 public:
  QuotedFieldSplitter(std::string text, std::string separators, std::string quotes, bool trim)
      : text_(std::move(text)), separators_(std::move(separators)), quotes_(std::move(quotes)), trim_(trim) {}

  // The next field; leading separators are skipped, quotes are kept unless the
  // splitter trims them from both ends of the field.
  std::string NextField();
  // Whether a non-empty field follows; the position does not move.
  bool HasMoreFields() const;

 private:
  std::string Collect(size_t& position) const;

  size_t position_ = 0;
  std::string text_;
  std::string separators_;
  std::string quotes_;
  bool trim_;
};

}  // namespace fonexa
