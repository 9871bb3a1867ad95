// The phone-book parsers on the answers phones give.
#include <gtest/gtest.h>

#include "codec/PhoneBookResponses.h"

using fonexa::PhoneBookEntry;

namespace {

struct EntryCase {
  const char* source;
  const char* line;
  int position;
  const char* number;
  int type;
  const char* name;
  const char* timeText;
  int year, month, day, hour, minute;
};

const EntryCase kEntryCases[] = {
    {"GSM 07.07 form", "+CPBR: 3,\"555\",129,\"Home\"\r\n", 3, "555", 129, "Home", "", 0, 0, 0, 0, 0},
    {"international number", "+CPBR: 1,\"+491701234567\",145,\"Own number\"\r\n", 1, "+491701234567", 145,
     "Own number", "", 0, 0, 0, 0, 0},
    {"comma inside the name", "+CPBR: 7,\"0301234\",129,\"Doe, John\"\r\n", 7, "0301234", 129, "Doe, John", "",
     0, 0, 0, 0, 0},
    {"quoted empty name", "+CPBR: 2,\"123\",129,\"\"\r\n", 2, "123", 129, "", "", 0, 0, 0, 0, 0},
    {"quotation marks inside the name", "+CPBR: 4,\"556\",129,\"Bob \"the\" Boss\"\r\n", 4, "556", 129,
     "Bob \"the\" Boss", "", 0, 0, 0, 0, 0},
    {"name ending in a quotation mark", "+CPBR: 5,\"557\",129,\"Smith, \"Bob\"\"\r\n", 5, "557", 129,
     "Smith, \"Bob\"", "", 0, 0, 0, 0, 0},
    {"call list with time stamp", "+CPBR: 1,\"0777123456\",129,\"\",\"03/12/24,10:35\"\r\n", 1, "0777123456", 129,
     "", "03/12/24,10:35", 3, 12, 24, 10, 35},  // a two-digit year stays two-digit
    {"time stamp with four-digit year", "+CPBR: 2,\"0777\",129,\"Al\",\"2004/01/02,03:04\"\r\n", 2, "0777", 129,
     "Al", "2004/01/02,03:04", 2004, 1, 2, 3, 4},
    {"time stamp without the time", "+CPBR: 2,\"0777\",129,\"Al\",\"04/01/02\"\r\n", 2, "0777", 129, "Al",
     "04/01/02", 4, 1, 2, 0xFFFF, 0xFFFF},
};

struct ShortLineCase {
  const char* source;
  const char* line;
  int missing;
};

const ShortLineCase kShortLines[] = {
    {"position, number and type only", "+CPBR: 1,\"555\",129\r\n", 4},
    {"position and number only", "+CPBR: 1,\"555\"\r\n", 3},
    {"position only", "+CPBR: 1\r\n", 2},
    {"nothing", "+CPBR: \r\n", 1},
};

}  // namespace

TEST(PhoneBookResponses, EntryLinesKeepQuotedCommasAndQuotationMarks) {
  for (const auto& c : kEntryCases) {
    PhoneBookEntry entry;
    entry.Name = "untouched";
    std::string timeText = "untouched";
    ASSERT_EQ(fonexa::ParseCpbrEntryResponse(c.line, entry, timeText), 0) << c.source;
    EXPECT_EQ(entry.Position, c.position) << c.source;
    EXPECT_EQ(entry.PhoneNumber, c.number) << c.source;
    EXPECT_EQ(entry.Type, c.type) << c.source;
    EXPECT_EQ(entry.Name, c.name) << c.source;
    EXPECT_EQ(timeText, c.timeText) << c.source;
    const auto& t = entry.Time;
    EXPECT_EQ((std::vector<int>{t.year, t.month, t.day, t.hour, t.minute, t.dayOfWeek, t.second, t.milliseconds}),
              (std::vector<int>{c.year, c.month, c.day, c.hour, c.minute, 0, 0, 0}))
        << c.source;
  }
}

TEST(PhoneBookResponses, EntryLinesShortOfAFieldAreRefusedWhole) {
  for (const auto& c : kShortLines) {
    PhoneBookEntry entry;
    entry.Name = "untouched";
    std::string timeText;
    EXPECT_EQ(fonexa::ParseCpbrEntryResponse(c.line, entry, timeText), c.missing) << c.source;
    EXPECT_EQ(entry.Name, "untouched") << c.source;
  }
}

TEST(PhoneBookResponses, StorageAndRangeAnswers) {
  std::string storage;
  int used = -5;
  int total = -5;
  EXPECT_EQ(fonexa::ParseCpbsReadResponse("+CPBS: \"SM\",12,250\r\n", storage, used, total), 0);
  EXPECT_EQ(storage, "SM");
  EXPECT_EQ(std::make_pair(used, total), std::make_pair(12, 250));
  EXPECT_EQ(fonexa::ParseCpbsReadResponse("+CPBS: \"DC\"\r\n", storage, used, total), 2);
  EXPECT_EQ(fonexa::ParseCpbsReadResponse("+CPBS: \"ME\",3\r\n", storage, used, total), 3);
  EXPECT_EQ(fonexa::ParseCpbsReadResponse("+CPBS: \r\n", storage, used, total), 1);
  EXPECT_EQ(storage, "SM");  // nothing taken from an incomplete answer
  EXPECT_EQ(std::make_pair(used, total), std::make_pair(12, 250));

  fonexa::PhoneBookRange range;
  EXPECT_EQ(fonexa::ParseCpbrTestResponse("+CPBR: (1-250),40,18\r\n", range), 0);
  EXPECT_EQ((std::vector<int>{range.first, range.last, range.numberLength, range.textLength}),
            (std::vector<int>{1, 250, 40, 18}));
  EXPECT_EQ(fonexa::ParseCpbrTestResponse("+CPBR: (1-250),40\r\n", range), 4);
  EXPECT_EQ(fonexa::ParseCpbrTestResponse("+CPBR: (1-250)\r\n", range), 3);
  EXPECT_EQ(fonexa::ParseCpbrTestResponse("+CPBR: \r\n", range), 1);
  EXPECT_EQ(range.last, 250);
}
