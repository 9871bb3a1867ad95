#include "codec/NetworkResponses.h"

#include <algorithm>

#include "text/InformationLine.h"
#include "text/NumberText.h"
#include "text/QuotedFieldSplitter.h"
#include "text/ResponseTokenizer.h"

namespace fonexa {

namespace {
// Quoted texts lose their quotation marks with these, and the line end goes.
constexpr const char* kQuotedFieldDelimiters = ",\"\r\n";
// +COPS=? lists the operators, then two commas, then the supported modes and
// formats: the operators end where this separator begins.
constexpr const char* kOperatorListEnd = "),,(";
}  // namespace

// ---- +CSQ -------------------------------------------------------------------

int ParseCsqResponse(const std::string& line, int& rssi, int& ber) {
  ResponseTokenizer fields(BodyOf(line, "+CSQ:"), false, " ,\r\n ");
  if (!fields.HasMoreTokens()) return 1;
  const std::string first = fields.NextToken();
  if (!fields.HasMoreTokens()) return 2;
  rssi = StringToInt(first);
  ber = StringToInt(fields.NextToken());
  return 0;
}

// ---- +COPN ------------------------------------------------------------------

int ParseCopnResponse(const std::string& line, OperatorEntry& entry) {
  ResponseTokenizer fields(BodyOf(line, "+COPN:"), false, kQuotedFieldDelimiters);
  if (!fields.HasMoreTokens()) return 1;
  const std::string numeric = fields.NextToken();
  if (!fields.HasMoreTokens()) return 2;
  entry.Name = fields.NextToken();
  entry.CodeNumber = StringToInt(numeric);
  return 0;
}

// ---- +COPS=? ----------------------------------------------------------------

namespace {

CopsTestOperator ParseListedOperator(const std::string& text) {
  ResponseTokenizer tokens(text, false, ",\"");
  CopsTestOperator op;
  op.first = tokens.NextToken();
  op.second = tokens.NextToken();
  op.third = tokens.NextToken();
  // GSM 07.07 sends the long name, the short name and the numeric code, each
  // quoted, and later phones an unquoted access technology after them. Once
  // an empty short name has collapsed the code is the third token, but a
  // filled-in short name takes that place, and with both names empty the
  // code moves up to the second: in that quoted form the long name is the
  // first quoted field and the code the last.
  std::string name = op.second;
  std::string numeric = op.third;
  QuotedFieldSplitter fields(text, ",", "\"", false);
  std::vector<std::string> quoted;
  while (fields.HasMoreFields()) {
    const std::string field = fields.NextField();
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') quoted.push_back(field.substr(1, field.size() - 2));
  }
  if (quoted.size() >= 2) {
    name = quoted.front();
    numeric = quoted.back();
  }
  op.entry.Name = name;
  op.entry.CodeNumber = StringToInt(numeric);
  op.entry.State = StringToInt(op.first);
  op.listed = !(op.entry.Name.empty() && op.entry.CodeNumber == -1);
  return op;
}

}  // namespace

CopsTestResponse ParseCopsTestResponse(const std::string& line) {
  CopsTestResponse response;
  // Without "),,(" the separator mode yields no piece at all: no operators
  // ("+COPS: ,,(0,1,2,3,4),(0,1,2)" from a phone that sees no network).
  ResponseTokenizer parts(BodyOf(line, "+COPS:"), false, kOperatorListEnd);
  if (!parts.HasMoreTokensBySeparator()) return response;
  response.operatorPart = parts.NextTokenBySeparator();
  ResponseTokenizer operators(response.operatorPart, false, "()");
  while (operators.HasMoreTokens()) {
    const std::string text = operators.NextToken();
    if (text == ",") continue;  // between two operators
    response.operators.push_back(ParseListedOperator(text));
  }
  return response;
}

// ---- +COPS? -----------------------------------------------------------------

void ParseCopsReadResponse(const std::string& line, OperatorEntry& entry) {
  ResponseTokenizer fields(BodyOf(line, "+COPS:"), false, kQuotedFieldDelimiters);
  const std::string mode = fields.NextToken();
  const int format = StringToInt(fields.NextToken());
  const std::string name = fields.NextToken();
  // Formats 0 and 1 are the long and the short alphanumeric name, 2 the
  // numeric code. "+COPS: 0" alone (not registered) has no format (-1) and
  // no operator: the code becomes -1.
  if (format == 0 || format == 1) {
    entry.Name = name;
  } else {
    entry.CodeNumber = StringToInt(name);
  }
  entry.Mode = StringToInt(mode);
}

// ---- +CREG? -----------------------------------------------------------------

void ParseCregReadResponse(const std::string& line, int& n, int& stat) {
  ResponseTokenizer fields(BodyOf(line, "+CREG:"), false, kQuotedFieldDelimiters);
  n = StringToInt(fields.NextToken());
  stat = StringToInt(fields.NextToken());
}

}  // namespace fonexa
