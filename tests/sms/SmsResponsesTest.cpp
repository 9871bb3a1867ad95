// The short-message answer parsers on lines as phones write them.
#include <gtest/gtest.h>

#include <string>

#include "codec/SmsResponses.h"

using fonexa::SmsHeader;

namespace {

// Received from +31641600986 through +31624000000 on 2002-08-26 19:37:41:
// "How are you?" (a Dutch network; ModemManager's and oFono's test suites).
const std::string kDeliverPdu = "07911326040000F0040B911346610089F60000208062917314480CC8F71D14969741F977FD07";
constexpr int kDeliverTpduLength = 30;

struct HeaderCase {
  const char* name;
  const char* line;
  int result;
  int index;
  int stat;
  const char* alpha;
  int length;
};

}  // namespace

TEST(CmglResponse, HeadersWithAndWithoutTheAlphaField) {
  const HeaderCase cases[] = {
      {"07.05 form, alpha left empty", "+CMGL: 1,0,,23\r\n", 0, 1, 0, "", 23},
      {"empty alpha in quotes", "+CMGL: 2,1,\"\",25\r\n", 0, 2, 1, "", 25},
      {"phone-book name as alpha", "+CMGL: 3,1,\"Bob\",25\r\n", 0, 3, 1, "Bob", 25},
      {"name holding a comma", "+CMGL: 14,0,\"Doe, J\",152\r\n", 0, 14, 0, "Doe, J", 152},
      {"alpha left out with its comma", "+CMGL: 5,3,22\r\n", 0, 5, 3, "", 22},
      {"stored outgoing, no line end", "+CMGL: 6,2,,40", 0, 6, 2, "", 40},
      {"index missing", "+CMGL: ,0,,23\r\n", 1, -1, -1, "", -1},
      {"index not a number", "+CMGL: x,0,,23\r\n", 1, -1, -1, "", -1},
      {"index beyond int", "+CMGL: 99999999999,0,,23\r\n", 1, -1, -1, "", -1},
      {"index only", "+CMGL: 1\r\n", 2, -1, -1, "", -1},
      {"stat missing", "+CMGL: 1,,,23\r\n", 2, -1, -1, "", -1},
      {"length missing", "+CMGL: 1,0,,\r\n", 3, -1, -1, "", -1},
      {"alpha without length", "+CMGL: 1,0,\"Bob\"\r\n", 3, -1, -1, "", -1},
      {"negative length", "+CMGL: 1,0,,-5\r\n", 3, -1, -1, "", -1},
      {"stat without the rest", "+CMGL: 1,0\r\n", 3, -1, -1, "", -1},
  };
  for (const auto& c : cases) {
    SmsHeader header;
    EXPECT_EQ(fonexa::ParseCmglResponse(c.line, header), c.result) << c.name;
    EXPECT_EQ(header.index, c.index) << c.name;
    EXPECT_EQ(header.stat, c.stat) << c.name;
    EXPECT_EQ(header.alpha, c.alpha) << c.name;
    EXPECT_EQ(header.length, c.length) << c.name;
  }
}

TEST(CmgrResponse, HeadersWithAndWithoutTheAlphaField) {
  const HeaderCase cases[] = {
      {"07.05 form, alpha left empty", "+CMGR: 0,,30\r\n", 0, 7, 0, "", 30},
      {"phone-book name as alpha", "+CMGR: 1,\"Ann, work\",30\r\n", 0, 7, 1, "Ann, work", 30},
      {"alpha left out with its comma", "+CMGR: 3,24\r\n", 0, 7, 3, "", 24},
      {"stat missing", "+CMGR: ,,30\r\n", 2, 7, -1, "", -1},
      {"stat only", "+CMGR: 1\r\n", 3, 7, -1, "", -1},
      {"length not a number", "+CMGR: 1,,abc\r\n", 3, 7, -1, "", -1},
  };
  for (const auto& c : cases) {
    SmsHeader header;
    header.index = 7;  // the index asked for stays
    EXPECT_EQ(fonexa::ParseCmgrResponse(c.line, header), c.result) << c.name;
    EXPECT_EQ(header.index, c.index) << c.name;
    EXPECT_EQ(header.stat, c.stat) << c.name;
    EXPECT_EQ(header.alpha, c.alpha) << c.name;
    EXPECT_EQ(header.length, c.length) << c.name;
  }
}

TEST(CmtLength, IsTheLastField) {
  EXPECT_EQ(fonexa::ParseCmtLength("+CMT: ,30\r\n"), 30);
  EXPECT_EQ(fonexa::ParseCmtLength("+CMT: \"Bob\",30\r\n"), 30);
  EXPECT_EQ(fonexa::ParseCmtLength("+CMT: \"Smith, J\",152\r\n"), 152);
  EXPECT_EQ(fonexa::ParseCmtLength("+CMT: 30\r\n"), 30);
  EXPECT_EQ(fonexa::ParseCmtLength("+CMT: \"Bob\"\r\n"), -1);
  EXPECT_EQ(fonexa::ParseCmtLength("+CMT:"), -1);
  EXPECT_EQ(fonexa::ParseCmtLength("+CMTI: \"SM\",3\r\n"), -1);
}

TEST(PduLine, OnlyAnEvenRunOfHexDigitsIsAPdu) {
  EXPECT_EQ(fonexa::PduTextOfLine(kDeliverPdu + "\r\n"), kDeliverPdu);
  EXPECT_EQ(fonexa::PduTextOfLine("0011000b91\r\n"), "0011000b91");
  for (const char* line : {"", "\r\n", "OK\r\n", "+CMS ERROR: 321\r\n", "+CMGL: 2,1,,30\r\n", "0011000\r\n",
                           "00 11\r\n", "0011\x1A"}) {
    EXPECT_EQ(fonexa::PduTextOfLine(line), "") << line;
  }
}

TEST(PduLine, DecodesIntoTheEntryOrLeavesItAlone) {
  fonexa::SmsEntry entry;
  ASSERT_TRUE(fonexa::DecodeMessageLine(kDeliverPdu + "\r\n", kDeliverTpduLength, entry));
  EXPECT_EQ(entry.ProviderPhone, "+31624000000");
  EXPECT_EQ(entry.PhoneNumber, "+31641600986");
  EXPECT_EQ(entry.MessageText, "How are you?");
  EXPECT_GT(entry.Time, 0);
  EXPECT_EQ(entry.Index, -1);  // the caller's to set
  // Phones that count the service-centre address in <length> still decode.
  EXPECT_TRUE(fonexa::DecodeMessageLine(kDeliverPdu, kDeliverTpduLength + 8, entry));

  fonexa::SmsEntry kept;
  kept.MessageText = "before";
  EXPECT_FALSE(fonexa::DecodeMessageLine(kDeliverPdu, 0, kept));
  EXPECT_FALSE(fonexa::DecodeMessageLine(kDeliverPdu, -1, kept));
  EXPECT_FALSE(fonexa::DecodeMessageLine("", kDeliverTpduLength, kept));
  EXPECT_FALSE(fonexa::DecodeMessageLine("OK\r\n", kDeliverTpduLength, kept));
  // Cut short on the line: fewer octets than the TPDU alone.
  EXPECT_FALSE(fonexa::DecodeMessageLine(kDeliverPdu.substr(0, 58), kDeliverTpduLength, kept));
  EXPECT_EQ(kept.MessageText, "before");
  EXPECT_EQ(kept.PhoneNumber, "");
}

TEST(CscaResponse, KeepsTheNumberAsThePhoneWroteIt) {
  std::string number = "unchanged";
  int type = -7;
  EXPECT_EQ(fonexa::ParseCscaResponse("+CSCA: \"+123\",145\r\n", number, type), 0);
  EXPECT_EQ(number, "\"+123\"");
  EXPECT_EQ(type, 145);
  EXPECT_EQ(fonexa::ParseCscaResponse("+CSCA: \"0170111\",129\r\n", number, type), 0);
  EXPECT_EQ(number, "\"0170111\"");
  EXPECT_EQ(type, 129);
  number = "unchanged";
  EXPECT_EQ(fonexa::ParseCscaResponse("+CSCA: \r\n", number, type), 1);
  EXPECT_EQ(fonexa::ParseCscaResponse("+CSCA: \"+123\"\r\n", number, type), 2);
  EXPECT_EQ(number, "unchanged");
}

TEST(CpmsReadResponse, ReportsTheReadingStorage) {
  struct Case {
    const char* line;
    const char* name;
    int storage;
    int used;
    int total;
    bool complete;
  };
  const Case cases[] = {
      {"+CPMS: \"SM\",3,30,\"SM\",3,30,\"SM\",3,30\r\n", "SM", 0, 3, 30, true},
      {"+CPMS: \"ME\",0,150,\"SM\",3,30,\"MT\",3,180\r\n", "ME", 1, 0, 150, true},
      {"+CPMS: \"MT\",12,180\r\n", "MT", 2, 12, 180, true},
      {"+CPMS: \"BM\",0,0,\"SM\",3,30,\"SM\",3,30\r\n", "BM", -1, 0, 0, true},
      {"+CPMS: \"SM\",3\r\n", "SM", 0, -1, -1, false},
      {"+CPMS: \r\n", "", -1, -1, -1, false},
  };
  for (const auto& c : cases) {
    const fonexa::CpmsReadResponse r = fonexa::ParseCpmsReadResponse(c.line);
    EXPECT_EQ(r.name, c.name) << c.line;
    EXPECT_EQ(r.storage, c.storage) << c.line;
    EXPECT_EQ(r.complete, c.complete) << c.line;
    if (c.complete) {
      EXPECT_EQ(r.used, c.used) << c.line;
      EXPECT_EQ(r.total, c.total) << c.line;
    }
  }
}

TEST(CmgwResponse, GivesTheNewIndex) {
  EXPECT_EQ(fonexa::ParseCmgwResponse("+CMGW: 5\r\n"), 5);
  EXPECT_EQ(fonexa::ParseCmgwResponse("+CMGW: 123"), 123);
  EXPECT_EQ(fonexa::ParseCmgwResponse("+CMGW:\r\n"), -1);
}

TEST(SmsStorage, NamesAndNumbers) {
  const char* names[] = {"SM", "ME", "MT"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_STREQ(fonexa::SmsStorageName(i), names[i]);
    EXPECT_EQ(fonexa::SmsStorageNumber(names[i]), i);
  }
  EXPECT_EQ(fonexa::SmsStorageName(-1), nullptr);
  EXPECT_EQ(fonexa::SmsStorageName(3), nullptr);
  EXPECT_EQ(fonexa::SmsStorageNumber("sm"), -1);
  EXPECT_EQ(fonexa::SmsStorageNumber("BM"), -1);
}

TEST(SafeNumber, NothingThatEndsOrSplitsACommand) {
  for (const char* number : {"+491701234567", "0170 1234567", "*100#", "", "12345"}) {
    EXPECT_TRUE(fonexa::IsSafeNumber(number)) << number;
  }
  for (const char* number : {"+123\r", "+123\rATD112;", "+123;+CMGD=1,4", "\"+123\"", "123\x1A", "123\x1B", "12\n3"}) {
    EXPECT_FALSE(fonexa::IsSafeNumber(number)) << number;
  }
}
