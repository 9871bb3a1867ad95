// Parsers for the GSM 07.07 network answers: +CSQ, +COPN, +COPS=?, +COPS?
// and +CREG?. Each takes one information line as the session returns it (line
// end included) and splits it with the response tokenizer, whose runs of
// delimiters collapse: an omitted field shifts the ones after it.
#pragma once

#include <string>
#include <vector>

#include "codec/OperatorEntry.h"

namespace fonexa {

// ---- +CSQ: <rssi>,<ber> ---------------------------------------------------
// 0 when both fields were read into rssi and ber; otherwise the number of the
// first missing field, and rssi and ber are left as they were.
int ParseCsqResponse(const std::string& line, int& rssi, int& ber);

// ---- +COPN: <numeric>,<alpha> -----------------------------------------------
// 0 when both fields were read (entry's CodeNumber and Name set); otherwise the
// number of the first missing field.
int ParseCopnResponse(const std::string& line, OperatorEntry& entry);

// ---- +COPS: (<stat>,<long>,<short>,<numeric>),...,,(<modes>),(<formats>) ---
struct CopsTestOperator {
  // The first three fields as the tokenizer gave them (what the trace shows).
  std::string first;
  std::string second;
  std::string third;
  // False for an operator with neither a name nor a code, which is left out.
  bool listed = false;
  OperatorEntry entry;
};

struct CopsTestResponse {
  // Everything before "),,(": the operators. Empty when the line has no "),,(".
  std::string operatorPart;
  std::vector<CopsTestOperator> operators;
};

// The operator part ends at "),,(": a phone that leaves the supported lists
// out, or breaks the answer across lines, lists nothing here. Kept for the
// trace it gives; the listing reads the operators with the parsers below.
CopsTestResponse ParseCopsTestResponse(const std::string& line);

// The operators of a +COPS=? answer, whether or not the supported lists
// follow and however the phone breaks the answer into lines: text is one
// line or several (with or without "+COPS:" on each, line ends anywhere).
// Each parenthesised entry that carries a quoted field is an operator, its
// fields taken by position: <stat>, long name, short name, numeric code
// (quoted or not), and an optional access technology, which is not kept.
// Name is the long name, or the short one when the long one is empty. An
// entry with neither a name nor a code is left out. The supported lists
// after ",," are not operators.
std::vector<OperatorEntry> ParseCopsTestOperators(const std::string& text);

// The same, for a dialogue that reads the answer a line at a time.
class CopsTestListReader {
 public:
  // One information line as read, its line end included or not.
  void Take(const std::string& line);
  std::vector<OperatorEntry> Operators() const { return ParseCopsTestOperators(text_); }
  // What was taken so far, joined.
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// ---- +COPS: <mode>[,<format>,<oper>] ------------------------------------------
// Sets entry's Mode, and Name (alphanumeric formats 0 and 1) or CodeNumber
// (numeric format, or no format given); its other fields are left alone.
void ParseCopsReadResponse(const std::string& line, OperatorEntry& entry);

// ---- +CREG: <n>,<stat>[,<lac>,<ci>] ---------------------------------------------
// A missing field gives -1.
void ParseCregReadResponse(const std::string& line, int& n, int& stat);

}  // namespace fonexa
