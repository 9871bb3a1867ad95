// The call and supplementary-service answer parsers, line by line.
#include "codec/CallResponses.h"

#include <gtest/gtest.h>

using fonexa::CallEntry;
using fonexa::CcfcParse;

namespace {

struct ClccCase {
  const char* source;
  const char* line;
  int failure;
  CallEntry expected;
};

class ClccLines : public ::testing::TestWithParam<ClccCase> {};

TEST_P(ClccLines, ReadEveryFieldInItsPlace) {
  const ClccCase& c = GetParam();
  CallEntry entry;
  ASSERT_EQ(fonexa::ParseClccResponse(c.line, entry), c.failure) << c.source;
  if (c.failure != 0) return;
  EXPECT_EQ(entry.Index, c.expected.Index);
  EXPECT_EQ(entry.Direction, c.expected.Direction);
  EXPECT_EQ(entry.State, c.expected.State);
  EXPECT_EQ(entry.Mode, c.expected.Mode);
  EXPECT_EQ(entry.Multiparty, c.expected.Multiparty);
  EXPECT_EQ(entry.PhoneNumber, c.expected.PhoneNumber);
  EXPECT_EQ(entry.Type, c.expected.Type);
  EXPECT_EQ(entry.Name, c.expected.Name);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ClccLines,
    ::testing::Values(
        ClccCase{"worked example: outgoing call being dialled", "+CLCC: 1,0,2,0,0,\"+420777123456\",145\r\n", 0,
                 {1, 0, 2, 0, 0, "+420777123456", 145, ""}},
        ClccCase{"worked example: empty number field", "+CLCC: 1,0,2,0,0,,129\r\n", 0, {1, 0, 2, 0, 0, "", 129, ""}},
        ClccCase{"worked example: incoming call with a phone-book name",
                 "+CLCC: 2,1,4,0,0,\"0777123456\",129,\"Home\"\r\n", 0, {2, 1, 4, 0, 0, "0777123456", 129, "Home"}},
        ClccCase{"worked example: empty leading fields are -1", "+CLCC: ,,0,,,\"5551234\",129\r\n", 0,
                 {-1, -1, 0, -1, -1, "5551234", 129, ""}},
        ClccCase{"virtual modem: number between empty quotation marks", "+CLCC: 1,1,4,0,0,\"\",128\r\n", 0,
                 {1, 1, 4, 0, 0, "", 128, ""}},
        ClccCase{"worked example: no number and no type", "+CLCC: 1,0,0,0,0\r\n", 7, {}},
        ClccCase{"truncated after the state", "+CLCC: 1,0,2", 4, {}},
        ClccCase{"nothing after the prefix", "+CLCC:", 1, {}}));

TEST(CpasLines, ValueEmptyFieldAndNone) {
  int activity = 99;
  EXPECT_EQ(fonexa::ParseCpasResponse("+CPAS: 4\r\n", activity), 0);
  EXPECT_EQ(activity, 4);
  EXPECT_EQ(fonexa::ParseCpasResponse("+CPAS: 0\r\n", activity), 0);
  EXPECT_EQ(activity, 0);
  EXPECT_EQ(fonexa::ParseCpasResponse("+CPAS: \r\n", activity), 1);
}

TEST(CcfcAnswers, ForwardingWithNumberTypeAndTime) {
  int status = 0;
  std::string number;
  int time = 0;
  // The worked example: forwarded on no reply after 20 s.
  ASSERT_EQ(fonexa::ParseCcfcQueryResponse("\r\n+CCFC: 1,1,\"+123\",145,,,20\r\n", 1, status, number, time),
            CcfcParse::Ok);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(number, "+123");
  EXPECT_EQ(time, 20);
}

TEST(CcfcAnswers, NotActiveAnswersCarryOnlyStatusAndClass) {
  int status = 7;
  std::string number = "kept";
  int time = 9;
  ASSERT_EQ(fonexa::ParseCcfcQueryResponse("+CCFC: 0,1\r\n", 1, status, number, time), CcfcParse::Ok);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(number, "kept");  // nothing read, nothing changed
  EXPECT_EQ(time, 9);
}

TEST(CcfcAnswers, RefusesAnotherClassAndMissingFields) {
  int status = 0;
  std::string number;
  int time = 0;
  EXPECT_EQ(fonexa::ParseCcfcQueryResponse("+CCFC: 1,4,\"+123\",145\r\n", 1, status, number, time),
            CcfcParse::WrongClass);
  EXPECT_EQ(status, 1);  // set before the class was found wrong
  EXPECT_EQ(fonexa::ParseCcfcQueryResponse("+CCFC: 1\r\n", 1, status, number, time), CcfcParse::NoMoreTokens);
  EXPECT_EQ(fonexa::ParseCcfcQueryResponse("+CCFC:\r\n", 1, status, number, time), CcfcParse::NoMoreTokens);
  EXPECT_EQ(fonexa::ParseCcfcQueryResponse("no colon", 1, status, number, time), CcfcParse::NoMoreTokens);
}

TEST(ClckAnswers, StatusWithAndWithoutClass) {
  int status = -5;
  EXPECT_TRUE(fonexa::ParseClckQueryResponse("+CLCK: 1\r\n", status));
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(fonexa::ParseClckQueryResponse("\r\n+CLCK: 0,1\r\n", status));
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(fonexa::ParseClckQueryResponse("+CLCK:\r\n", status));
}

}  // namespace
