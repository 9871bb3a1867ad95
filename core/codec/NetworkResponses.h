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

CopsTestResponse ParseCopsTestResponse(const std::string& line);

// ---- +COPS: <mode>[,<format>,<oper>] ------------------------------------------
// Sets entry's Mode, and Name (alphanumeric formats 0 and 1) or CodeNumber
// (numeric format, or no format given); its other fields are left alone.
void ParseCopsReadResponse(const std::string& line, OperatorEntry& entry);

// ---- +CREG: <n>,<stat>[,<lac>,<ci>] ---------------------------------------------
// A missing field gives -1.
void ParseCregReadResponse(const std::string& line, int& n, int& stat);

}  // namespace fonexa
