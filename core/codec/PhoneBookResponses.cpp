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

int ParseCpbrEntryResponse(const std::string& line, PhoneBookEntry& entry, std::string& timeText) {
  // By position, so that an empty field stays where it is: Nokia phones list
  // an entry without a number as 16,"",,"Name",,,,,,, with the type left out.
  const std::vector<std::string> fields = SplitFieldsByPosition(BodyOf(line, "+CPBR:"));
  if (fields.size() < 4) return static_cast<int>(fields.size()) + 1;
  // Phones that stamp their call lists send the time as a fifth field, as
  // "yy/MM/dd,hh:mm" in one pair of quotes or as the date and the time of day
  // in two.
  timeText = fields.size() > 4 ? fields[4] : std::string();
  if (fields.size() > 5 && !timeText.empty() && !fields[5].empty() && timeText.find(',') == std::string::npos) {
    timeText += "," + fields[5];
  }
  entry.Position = StringToInt(fields[0]);
  entry.PhoneNumber = fields[1];
  entry.Type = StringToInt(fields[2]);
  entry.Name = fields[3];
  entry.Time = timeText.empty() ? platform::SystemTime{} : ParseCpbrTimeStamp(timeText);
  return 0;
}

platform::SystemTime ParseCpbrTimeStamp(const std::string& text) {
  ResponseTokenizer fields(text, false, "/,:");
  int values[5];
  for (int& value : values) value = StringToInt(fields.NextToken());
  // The year stays as the phone wrote it: a two-digit year is two-digit here,
  // and the SDK turns it into a date.
  platform::SystemTime time;
  time.year = static_cast<uint16_t>(values[0]);
  time.month = static_cast<uint16_t>(values[1]);
  time.day = static_cast<uint16_t>(values[2]);
  time.hour = static_cast<uint16_t>(values[3]);
  time.minute = static_cast<uint16_t>(values[4]);
  return time;
}

}  // namespace fonexa
