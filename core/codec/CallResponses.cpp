#include "codec/CallResponses.h"

#include "text/InformationLine.h"
#include "text/NumberText.h"
#include "text/ResponseTokenizer.h"

namespace fonexa {

namespace {

// Supplementary-service answers are read from their first colon on; an
// omitted field collapses with its neighbours. The line end is no field.
constexpr const char* kServiceFieldDelimiters = ":, \"\r\n";

std::string FromFirstColon(const std::string& answer) {
  const size_t colon = answer.find(':');
  return colon == std::string::npos ? std::string() : answer.substr(colon);
}

// A number or name field: "," is an empty field; otherwise the text between
// its quotation marks, and the comma after it is taken too.
std::string TakeQuotedField(ResponseTokenizer& fields) {
  if (!fields.HasMoreTokens()) return {};
  const std::string token = fields.NextToken();
  if (token == ",") return {};
  fields.NextToken();  // the comma behind it
  ResponseTokenizer unquoted(token, false, "\"");
  // A number or name with nothing between its quotation marks is empty, not
  // the two quotation marks.
  if (!unquoted.HasMoreTokens()) return {};
  std::string text = unquoted.NextToken();
  // An unquoted last field still carries the line end.
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  return text;
}

}  // namespace

// ---- +CLCC ------------------------------------------------------------------

int ParseClccResponse(const std::string& line, CallEntry& entry) {
  ResponseTokenizer fields(BodyOf(line, "+CLCC:"), true, ",");
  // An empty token is a missing field; "," an empty one (-1); anything else
  // is the value, and the comma after it is taken with it.
  const auto takeNumber = [&fields](int& out) {
    const std::string token = fields.NextToken();
    if (token.empty()) return false;
    if (token == ",") {
      out = -1;
      return true;
    }
    out = StringToInt(token);
    fields.NextToken();
    return true;
  };
  int* const leading[] = {&entry.Index, &entry.Direction, &entry.State, &entry.Mode, &entry.Multiparty};
  for (int field = 0; field < 5; ++field) {
    if (!takeNumber(*leading[field])) return field + 1;
  }
  entry.PhoneNumber = TakeQuotedField(fields);
  if (!takeNumber(entry.Type)) return 7;
  entry.Name = TakeQuotedField(fields);
  return 0;
}

// ---- +CPAS ------------------------------------------------------------------

int ParseCpasResponse(const std::string& line, int& activity) {
  ResponseTokenizer fields(BodyOf(line, "+CPAS:"), false, "\r\n");
  if (!fields.HasMoreTokens()) return 1;
  activity = StringToInt(fields.NextToken());
  return 0;
}

// ---- +CCFC ------------------------------------------------------------------

CcfcParse ParseCcfcQueryResponse(const std::string& answer, int expectedClass, int& status, std::string& number,
                                 int& time) {
  ResponseTokenizer fields(FromFirstColon(answer), false, kServiceFieldDelimiters);
  if (!fields.HasMoreTokens()) return CcfcParse::NoMoreTokens;
  status = StringToInt(fields.NextToken());
  if (!fields.HasMoreTokens()) return CcfcParse::NoMoreTokens;
  if (StringToInt(fields.NextToken()) != expectedClass) return CcfcParse::WrongClass;
  if (fields.HasMoreTokens()) {
    number = fields.NextToken();
    if (fields.HasMoreTokens()) {
      fields.NextToken();  // the type of address
      if (fields.HasMoreTokens()) time = StringToInt(fields.NextToken());
    }
  }
  return CcfcParse::Ok;
}

// ---- +CLCK ------------------------------------------------------------------

bool ParseClckQueryResponse(const std::string& answer, int& status) {
  ResponseTokenizer fields(FromFirstColon(answer), false, kServiceFieldDelimiters);
  if (!fields.HasMoreTokens()) return false;
  status = StringToInt(fields.NextToken());
  return true;
}

}  // namespace fonexa
