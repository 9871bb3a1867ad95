// V.250 command-line syntax as terminals write it.
#include <gtest/gtest.h>

#include "sim/at/AtCommandLine.h"

namespace fonexa::sim {
namespace {

std::vector<AtCommand> parsed(const std::string& body) {
  auto r = parseCommandLine(body);
  EXPECT_TRUE(r) << body;
  return r.value_or(std::vector<AtCommand>{});
}

TEST(CommandLine, SplitsBasicAndExtendedCommandsWithTheirForms) {
  auto c = parsed("E0V1&F0S7=30S0?+CMEE=2;+CPIN?;+CLCC=?;+CMGL");
  ASSERT_EQ(c.size(), 9u);
  EXPECT_EQ(c[0].name, "E");
  EXPECT_EQ(c[0].argument, "0");
  EXPECT_EQ(c[2].name, "&F");
  EXPECT_EQ(c[3].name, "S");
  EXPECT_EQ(c[3].argument, "7");
  EXPECT_EQ(c[3].form, AtForm::Set);
  EXPECT_EQ(c[3].parameter(0).number(), 30);
  EXPECT_EQ(c[4].form, AtForm::Read);
  EXPECT_EQ(c[5].name, "+CMEE");
  EXPECT_EQ(c[5].form, AtForm::Set);
  EXPECT_EQ(c[6].form, AtForm::Read);
  EXPECT_EQ(c[7].form, AtForm::Test);
  EXPECT_EQ(c[8].form, AtForm::Execute);
}

TEST(CommandLine, CommandNamesAreCaseInsensitiveButStringsKeepTheirCase) {
  auto c = parsed("+cpbs=\"sm\"");
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].name, "+CPBS");
  EXPECT_EQ(c[0].parameter(0).text, "sm");
}

TEST(CommandLine, ParametersMayBeOmittedQuotedOrBare) {
  auto c = parsed("+CCFC=2,3,+123,,1,20");
  ASSERT_EQ(c.size(), 1u);
  const auto& p = c[0].parameters;
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(p[2].text, "+123");
  EXPECT_FALSE(p[2].quoted);
  EXPECT_FALSE(p[3].present);
  EXPECT_EQ(p[5].number(), 20);
  auto e = parsed("+CLCK=\"SC\",2,");
  ASSERT_EQ(e[0].parameters.size(), 3u);
  EXPECT_FALSE(e[0].has(2));
  EXPECT_TRUE(parsed("+CPBW=1,\"\",129,\"\"")[0].parameter(1).present);
}

TEST(CommandLine, QuotedStringsKeepCommasAndSemicolonsAndTakeEscapes) {
  auto c = parsed("+CPBW=3,\"0301\",129,\"Smith, John; jr\";+CSQ");
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0].parameter(3).text, "Smith, John; jr");
  EXPECT_EQ(parsed("+CPBW=1,\"1\",129,\"a\\22b\\5Cc\"")[0].parameter(3).text, "a\"b\\c");
  // A quote not followed by a separator belongs to the name, as phones read it.
  EXPECT_EQ(parsed("+CPBW=1,\"1\",129,\"Bob \"The Builder\"\"")[0].parameter(3).text, "Bob \"The Builder\"");
}

TEST(CommandLine, DialStringsRunToTheSemicolon) {
  auto c = parsed("D+49 170 123;+CLCC");
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0].name, "D");
  EXPECT_EQ(c[0].argument, "+49170123;");
  EXPECT_EQ(c[1].name, "+CLCC");
  EXPECT_EQ(parsed("D>\"Mum; home\";")[0].argument, ">\"Mum; home\";");
  EXPECT_EQ(parsed("DT0301234")[0].argument, "T0301234");
}

TEST(CommandLine, RejectsLinesThatBreakTheSyntax) {
  for (const char* bad : {"+CPBW=1,\"unterminated", "+CMGS=1\"2", "+", "&", "S", "+CSQ?x", "=1", "+CPIN=\"1\"x"}) {
    EXPECT_FALSE(parseCommandLine(bad)) << bad;
  }
  EXPECT_TRUE(parseCommandLine(""));
  EXPECT_TRUE(parseCommandLine("  ;"));
}

}  // namespace
}  // namespace fonexa::sim
