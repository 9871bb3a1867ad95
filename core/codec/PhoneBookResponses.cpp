#include "codec/PhoneBookResponses.h"

#include "text/InformationLine.h"
#include "text/NumberText.h"
#include "text/QuotedFieldSplitter.h"
#include "text/ResponseTokenizer.h"

namespace fonexa {

// ---- +CPBS? -----------------------------------------------------------------

int ParseCpbsReadResponse(const std::string& line, std::string& storage, int& used, int& total) {
  ResponseTokenizer fields(BodyOf(line, "+CPBS:"), false, ",\"\r\n ");
  if (!fields.HasMoreTokens()) return 1;
  const std::string name = fields.NextToken();
  if (!fields.HasMoreTokens()) return 2;
  const std::string usedText = fields.NextToken();
  if (!fields.HasMoreTokens()) return 3;
  storage = name;
  used = StringToInt(usedText);
  total = StringToInt(fields.NextToken());
  return 0;
}

// ---- +CPBR=? ----------------------------------------------------------------

int ParseCpbrTestResponse(const std::string& line, PhoneBookRange& range) {
  ResponseTokenizer fields(BodyOf(line, "+CPBR:"), false, "(,)- \r\n\t");
  int values[4];
  for (int i = 0; i < 4; ++i) {
    if (!fields.HasMoreTokens()) return i + 1;
    values[i] = StringToInt(fields.NextToken());
  }
  range = {values[0], values[1], values[2], values[3]};
  return 0;
}

// ---- +CPBR=<first>,<last> -------------------------------------------------------

namespace {

// One pair of enclosing quotation marks off a field. Only one: a name that
// itself begins or ends with a quotation mark keeps it.
std::string Unquoted(const std::string& field) {
  size_t begin = 0;
  size_t end = field.size();
  if (begin < end && field[begin] == '"') ++begin;
  if (end > begin && field[end - 1] == '"') --end;
  return field.substr(begin, end - begin);
}

}  // namespace

int ParseCpbrEntryResponse(const std::string& line, PhoneBookEntry& entry, std::string& timeText) {
  QuotedFieldSplitter fields(BodyOf(line, "+CPBR:"), ",\r\n", "\"", false);
  std::string texts[4];
  for (int i = 0; i < 4; ++i) {
    // A quoted empty name ("") is a field; an omitted one is not.
    if (!fields.HasMoreFields()) return i + 1;
    texts[i] = Unquoted(fields.NextField());
  }
  // Phones that stamp their call lists send the time as a fifth field.
  timeText = fields.HasMoreFields() ? Unquoted(fields.NextField()) : std::string();
  entry.Position = StringToInt(texts[0]);
  entry.PhoneNumber = texts[1];
  entry.Type = StringToInt(texts[2]);
  entry.Name = texts[3];
  entry.Time = timeText.empty() ? platform::SystemTime{} : ParseCpbrTimeStamp(timeText);
  return 0;
}

platform::SystemTime ParseCpbrTimeStamp(const std::string& text) {
  ResponseTokenizer fields(text, false, "/,:");
  int values[5];
  for (int& value : values) value = StringToInt(fields.NextToken());
  // Phones stamp their call lists with two-digit years, as the service centre
  // stamps messages; the years are those of this century.
  if (values[0] >= 0 && values[0] < 100) values[0] += 2000;
  platform::SystemTime time;
  time.year = static_cast<uint16_t>(values[0]);
  time.month = static_cast<uint16_t>(values[1]);
  time.day = static_cast<uint16_t>(values[2]);
  time.hour = static_cast<uint16_t>(values[3]);
  time.minute = static_cast<uint16_t>(values[4]);
  return time;
}

}  // namespace fonexa
