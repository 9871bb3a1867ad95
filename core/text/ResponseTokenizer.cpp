#include "text/ResponseTokenizer.h"

namespace fonexa {

ResponseTokenizer::ResponseTokenizer(std::string text, bool returnDelimiters, std::string delimiters)
    : text_(std::move(text)), length_(static_cast<int>(text_.size())), returnDelimiters_(returnDelimiters) {
  SetDelimiters(std::move(delimiters));
  delimitersChanged_ = false;
}

void ResponseTokenizer::SetDelimiters(std::string delimiters) {
  delimiters_ = std::move(delimiters);
  delimitersChanged_ = true;
  highestDelimiter_ = 0;
  for (char c : delimiters_) {
    if (static_cast<signed char>(c) > highestDelimiter_) highestDelimiter_ = static_cast<signed char>(c);
  }
}

bool ResponseTokenizer::IsDelimiter(char c) const {
  // Characters above the highest delimiter can be no delimiter: a shortcut for
  // the common case of letters and digits against " ,\r\n".
  if (static_cast<signed char>(c) > highestDelimiter_) return false;
  return delimiters_.find(c) != std::string::npos;
}

int ResponseTokenizer::SkipDelimiters(int p) const {
  if (returnDelimiters_) return p;
  while (p < length_ && IsDelimiter(text_[p])) ++p;
  return p;
}

int ResponseTokenizer::ScanToken(int p) const {
  const int start = p;
  while (p < length_ && !IsDelimiter(text_[p])) ++p;
  if (returnDelimiters_ && p == start && p < length_ && IsDelimiter(text_[p])) ++p;
  return p;
}

int ResponseTokenizer::SkipSeparators(int p) const {
  const int s = static_cast<int>(delimiters_.size());
  if (s == 0) return p < length_ ? p : length_;
  const int start = p;
  while (p < length_ && text_.compare(p, s, delimiters_) == 0) p += s;
  // A text without the separator at or after p has no further token.
  if (p == start && text_.find(delimiters_, p) == std::string::npos) return length_;
  return p;
}

int ResponseTokenizer::ScanToSeparator(int p) const {
  if (delimiters_.empty()) return length_;
  const auto found = text_.find(delimiters_, p);
  return found == std::string::npos ? length_ : static_cast<int>(found);
}

int ResponseTokenizer::NextStart(bool bySeparator) {
  const int start = (newPosition_ >= 0 && !delimitersChanged_)
                        ? newPosition_
                        : (bySeparator ? SkipSeparators(currentPosition_) : SkipDelimiters(currentPosition_));
  delimitersChanged_ = false;
  newPosition_ = -1;
  return start;
}

int ResponseTokenizer::CountTokens() const {
  int count = 0;
  int p = currentPosition_;
  while (p < length_) {
    p = SkipDelimiters(p);
    if (p >= length_) break;
    p = ScanToken(p);
    ++count;
  }
  return count;
}

bool ResponseTokenizer::HasMoreTokens() {
  newPosition_ = SkipDelimiters(currentPosition_);
  return newPosition_ < length_;
}

std::string ResponseTokenizer::NextToken() {
  const int start = NextStart(false);
  if (start >= length_) return {};
  currentPosition_ = ScanToken(start);
  return text_.substr(start, currentPosition_ - start);
}

std::string ResponseTokenizer::NextToken(const std::string& newDelimiters) {
  SetDelimiters(newDelimiters);
  return NextToken();
}

std::string ResponseTokenizer::RestOfText() {
  const int start = NextStart(false);
  if (start >= length_) return {};
  currentPosition_ = length_;
  return text_.substr(start);
}

int ResponseTokenizer::CountTokensBySeparator() const {
  int count = 0;
  int p = currentPosition_;
  while (p < length_) {
    p = SkipSeparators(p);
    if (p >= length_) break;
    p = ScanToSeparator(p);
    ++count;
  }
  return count;
}

bool ResponseTokenizer::HasMoreTokensBySeparator() {
  newPosition_ = SkipSeparators(currentPosition_);
  return newPosition_ < length_;
}

std::string ResponseTokenizer::NextTokenBySeparator() {
  const int start = NextStart(true);
  if (start >= length_) return {};
  currentPosition_ = ScanToSeparator(start);
  return text_.substr(start, currentPosition_ - start);
}

std::string ResponseTokenizer::NextTokenBySeparator(const std::string& newSeparator) {
  SetDelimiters(newSeparator);
  return NextTokenBySeparator();
}

std::string ResponseTokenizer::RestOfTextBySeparator() {
  const int start = NextStart(true);
  if (start >= length_) return {};
  currentPosition_ = length_;
  return text_.substr(start);
}

}  // namespace fonexa
