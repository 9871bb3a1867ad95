// The network parsers on the answers phones give, one table per command.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "codec/NetworkResponses.h"

using fonexa::OperatorEntry;

namespace {

void ExpectEntry(const OperatorEntry& got, const OperatorEntry& want, const char* what) {
  EXPECT_EQ(got.Name, want.Name) << what;
  EXPECT_EQ(got.CodeNumber, want.CodeNumber) << what;
  EXPECT_EQ(got.Mode, want.Mode) << what;
  EXPECT_EQ(got.State, want.State) << what;
}

struct CopsListCase {
  const char* source;
  const char* line;
  std::vector<OperatorEntry> operators;
};

const CopsListCase kCopsListCases[] = {
    {"GSM 07.07 form, short names empty", "+COPS: (2,\"Op A\",\"\",\"23001\"),(1,\"Op B\",\"\",\"23002\"),,(0,1,2,3,4),(0,1,2)\r\n",
     {{"Op A", 23001, -1, 2}, {"Op B", 23002, -1, 1}}},
    {"short names filled in", "+COPS: (2,\"Op A\",\"OpA\",\"23001\"),(1,\"Op B\",\"OpB\",\"23002\"),,(0,1,2,3,4),(0,1,2)\r\n",
     {{"Op A", 23001, -1, 2}, {"Op B", 23002, -1, 1}}},
    {"short names left out", "+COPS: (2,\"T - Mobile\",,\"31026\"),(1,\"AT&T\",,\"310410\"),,(0-4),(0,2)\r\n",
     {{"T - Mobile", 31026, -1, 2}, {"AT&T", 310410, -1, 1}}},
    {"release 99 phones, access technology last",
     "+COPS: (2,\"T-Mobile D\",\"TMO D\",\"26201\",0),(3,\"E-Plus\",\"E-Plus\",\"26203\",0),,(0,1,2,3,4),(0,1,2)\r\n",
     {{"T-Mobile D", 26201, -1, 2}, {"E-Plus", 26203, -1, 3}}},
    {"a network the phone has no name for", "+COPS: (1,\"\",\"\",\"99901\",0),,(0,1,2,3,4),(0,1,2)\r\n",
     {{"", 99901, -1, 1}}},
    {"no network in reach", "+COPS: ,,(0,1,2,3,4),(0,1,2)\r\n", {}},
    {"an entry with neither name nor code is left out", "+COPS: (0,,,),(1,\"Op B\",\"\",\"23002\"),,(0-4),(0,2)\r\n",
     {{"Op B", 23002, -1, 1}}},
    {"without the supported lists nothing is taken", "+COPS: (2,\"Op A\",\"\",\"23001\")\r\n", {}},
};

}  // namespace

TEST(NetworkResponses, CopsTestListsEveryOperatorWithItsNumericCode) {
  for (const auto& c : kCopsListCases) {
    const auto response = fonexa::ParseCopsTestResponse(c.line);
    std::vector<OperatorEntry> listed;
    for (const auto& op : response.operators) {
      if (op.listed) listed.push_back(op.entry);
    }
    ASSERT_EQ(listed.size(), c.operators.size()) << c.source;
    for (size_t i = 0; i < listed.size(); ++i) ExpectEntry(listed[i], c.operators[i], c.source);
  }
  // What the trace shows of an operator: its first three tokens.
  const auto response = fonexa::ParseCopsTestResponse(kCopsListCases[1].line);
  EXPECT_EQ(response.operatorPart, "(2,\"Op A\",\"OpA\",\"23001\"),(1,\"Op B\",\"OpB\",\"23002\"");
  EXPECT_EQ(response.operators[0].third, "OpA");
}

TEST(NetworkResponses, CopsReadInItsForms) {
  struct Case {
    const char* line;
    OperatorEntry expected;  // from {"keep", 7, 8, 9}
  };
  const Case cases[] = {
      {"+COPS: 0,0,\"Op A\"\r\n", {"Op A", 7, 0, 9}},
      {"+COPS: 1,2,\"23001\"\r\n", {"keep", 23001, 1, 9}},
      {"+COPS: 0\r\n", {"keep", -1, 0, 9}},  // not registered: mode only
      {"+COPS: 0,1,\"TMO D\"\r\n", {"TMO D", 7, 0, 9}},
      {"+COPS: 4,2,\"26201\",2\r\n", {"keep", 26201, 4, 9}},
  };
  for (const auto& c : cases) {
    OperatorEntry entry{"keep", 7, 8, 9};
    fonexa::ParseCopsReadResponse(c.line, entry);
    ExpectEntry(entry, c.expected, c.line);
  }
}

TEST(NetworkResponses, SignalNamesAndRegistration) {
  int rssi = -1;
  int ber = -1;
  EXPECT_EQ(fonexa::ParseCsqResponse("+CSQ: 17,99\r\n", rssi, ber), 0);
  EXPECT_EQ(rssi, 17);
  EXPECT_EQ(ber, 99);
  rssi = ber = -1;
  EXPECT_EQ(fonexa::ParseCsqResponse("+CSQ: 17\r\n", rssi, ber), 2);
  EXPECT_EQ(fonexa::ParseCsqResponse("+CSQ: \r\n", rssi, ber), 1);
  EXPECT_EQ(rssi, -1);  // nothing taken from an incomplete answer
  EXPECT_EQ(ber, -1);

  OperatorEntry entry;
  EXPECT_EQ(fonexa::ParseCopnResponse("+COPN: \"23001\",\"Op A\"\r\n", entry), 0);
  ExpectEntry(entry, {"Op A", 23001, -1, -1}, "+COPN");
  EXPECT_EQ(fonexa::ParseCopnResponse("+COPN: \"23001\"\r\n", entry), 2);
  EXPECT_EQ(fonexa::ParseCopnResponse("+COPN: \r\n", entry), 1);

  int n = 0;
  int stat = 0;
  fonexa::ParseCregReadResponse("+CREG: 1,5\r\n", n, stat);
  EXPECT_EQ(std::make_pair(n, stat), std::make_pair(1, 5));
  fonexa::ParseCregReadResponse("+CREG: 2,1,\"00C3\",\"1A2B\"\r\n", n, stat);
  EXPECT_EQ(std::make_pair(n, stat), std::make_pair(2, 1));
  fonexa::ParseCregReadResponse("+CREG: 0\r\n", n, stat);
  EXPECT_EQ(std::make_pair(n, stat), std::make_pair(0, -1));
}
