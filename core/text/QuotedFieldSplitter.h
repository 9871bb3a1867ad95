// Splits a line into fields at separator characters that stand outside quotes,
// for answers whose quoted texts may hold the separator ("+CPBR: 1,"555",129,"Doe, J"").
#pragma once

#include <string>

namespace fonexa {

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
