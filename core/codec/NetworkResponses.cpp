#include "codec/NetworkResponses.h"

#include <algorithm>
#include <cstring>

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

namespace {

// The text without "+COPS:" where a line begins with it, and without line ends.
std::string JoinedCopsText(const std::string& text) {
  std::string joined;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(begin, end - begin);
    if (BeginsWith(line, "+COPS:")) line.erase(0, std::strlen("+COPS:"));
    joined += line;
    begin = end + 1;
  }
  return joined;
}

bool ListedFromFields(const std::vector<std::string>& fields, OperatorEntry& entry) {
  entry = OperatorEntry{};
  entry.State = fields.empty() ? -1 : StringToInt(fields[0]);
  const std::string longName = fields.size() > 1 ? fields[1] : std::string();
  const std::string shortName = fields.size() > 2 ? fields[2] : std::string();
  entry.Name = longName.empty() ? shortName : longName;
  entry.CodeNumber = fields.size() > 3 ? StringToInt(fields[3]) : -1;
  return !(entry.Name.empty() && entry.CodeNumber == -1);
}

}  // namespace

std::vector<OperatorEntry> ParseCopsTestOperators(const std::string& text) {
  const std::string body = JoinedCopsText(text);
  std::vector<OperatorEntry> operators;
  std::string group;
  int depth = 0;
  bool inQuotes = false;
  char previous = '\0';
  for (const char c : body) {
    if (depth == 0) {
      // Two commas between entries: the supported modes and formats follow.
      if (c == ',' && previous == ',') break;
      if (c != ' ') previous = c;
      if (c == '(') {
        depth = 1;
        group.clear();
      }
      continue;
    }
    if (c == '"') inQuotes = !inQuotes;
    if (c == ')' && !inQuotes) {
      // A phone that closes an entry early ("...,\"310260\"),2)") leaves a
      // stray tail, which the outer level passes over.
      depth = 0;
      previous = ')';
      OperatorEntry entry;
      if (group.find('"') != std::string::npos && ListedFromFields(SplitFieldsByPosition(group), entry)) {
        operators.push_back(entry);
      }
      continue;
    }
    group.push_back(c);
  }
  return operators;
}

void CopsTestListReader::Take(const std::string& line) {
  text_ += line;
  text_ += "\r\n";
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
