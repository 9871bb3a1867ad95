// The tokenizer every response parser splits AT answer lines with.
//
// Character-set mode: each character of the delimiter text is a delimiter; runs
// of delimiters collapse, so ",," yields no empty token and an omitted field
// shifts the following ones. Separator-string mode: the delimiter text is one
// separator matched as a whole (the operator list is split at "),,(" this way).
// Neither mode knows about quotes; QuotedFieldSplitter exists for that.
#pragma once

#include <string>

namespace fonexa {

class ResponseTokenizer {
 public:
  ResponseTokenizer(std::string text, bool returnDelimiters, std::string delimiters);
  virtual ~ResponseTokenizer() = default;

  // Character-set mode.
  virtual int CountTokens() const;
  virtual bool HasMoreTokens();
  virtual std::string NextToken();
  virtual std::string NextToken(const std::string& newDelimiters);
  virtual std::string RestOfText();

  // Separator-string mode.
  virtual int CountTokensBySeparator() const;
  virtual bool HasMoreTokensBySeparator();
  virtual std::string NextTokenBySeparator();
  virtual std::string NextTokenBySeparator(const std::string& newSeparator);
  virtual std::string RestOfTextBySeparator();

 private:
  bool IsDelimiter(char c) const;
  void SetDelimiters(std::string delimiters);
  int SkipDelimiters(int position) const;
  int ScanToken(int position) const;
  int SkipSeparators(int position) const;
  int ScanToSeparator(int position) const;
  int NextStart(bool bySeparator);

  std::string text_;
  std::string delimiters_;
  int currentPosition_ = 0;
  int newPosition_ = -1;
  int length_;
  bool returnDelimiters_;
  bool delimitersChanged_ = false;
  signed char highestDelimiter_ = 0;
};

}  // namespace fonexa
