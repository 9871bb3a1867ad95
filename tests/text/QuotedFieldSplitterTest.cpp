#include "text/InformationLine.h"
#include "text/QuotedFieldSplitter.h"

#include <gtest/gtest.h>

using fonexa::QuotedFieldSplitter;

TEST(QuotedFieldSplitter, KeepsSeparatorsInsideQuotes) {
  QuotedFieldSplitter s("1,\"+420 777\",145,\"Doe, John\"\r\n", ",\r\n", "\"", true);
  EXPECT_EQ(s.NextField(), "1");
  EXPECT_EQ(s.NextField(), "+420 777");
  EXPECT_EQ(s.NextField(), "145");
  EXPECT_EQ(s.NextField(), "Doe, John");
  EXPECT_FALSE(s.HasMoreFields());
  EXPECT_EQ(s.NextField(), "");
}

TEST(QuotedFieldSplitter, WithoutTrimTheQuotesStay) {
  QuotedFieldSplitter s("\"a,b\",c", ",", "\"", false);
  EXPECT_TRUE(s.HasMoreFields());
  EXPECT_EQ(s.NextField(), "\"a,b\"");  // HasMoreFields did not move the position
  EXPECT_EQ(s.NextField(), "c");
}

TEST(QuotedFieldSplitter, EmptyFieldsAreSkipped) {
  QuotedFieldSplitter s(",,x,,", ",", "\"", true);
  EXPECT_EQ(s.NextField(), "x");
  EXPECT_FALSE(s.HasMoreFields());
}

TEST(QuotedFieldSplitter, TrimRemovesEveryQuoteAtBothEnds) {
  QuotedFieldSplitter s("\"\"He said \"hi\"\"\"", ",", "\"", true);
  EXPECT_EQ(s.NextField(), "He said \"hi");
}

TEST(FieldsByPosition, EmptyFieldsKeepTheirPlace) {
  using V = std::vector<std::string>;
  EXPECT_EQ(fonexa::SplitFieldsByPosition("16,\"\",,\"Mail, box\",,\r\n"), (V{"16", "", "", "Mail, box", "", ""}));
  EXPECT_EQ(fonexa::SplitFieldsByPosition(" 2 , \"Al \" ,129"), (V{"2", "Al ", "129"}));
  EXPECT_EQ(fonexa::SplitFieldsByPosition("5,\"Smith, \"Bob\"\""), (V{"5", "Smith, \"Bob\""}));
  EXPECT_EQ(fonexa::SplitFieldsByPosition(","), (V{"", ""}));
  EXPECT_TRUE(fonexa::SplitFieldsByPosition(" \r\n").empty());
  EXPECT_TRUE(fonexa::SplitFieldsByPosition("").empty());
}

TEST(InformationLineBody, DropsTheCharacterAfterTheColonOnlyWhenItIsABlank) {
  EXPECT_EQ(fonexa::BodyOf("+CSQ: 17,99\r\n", "+CSQ:"), "17,99\r\n");
  EXPECT_EQ(fonexa::BodyOf("+CSQ:4,0\r\n", "+CSQ:"), "4,0\r\n");
  EXPECT_EQ(fonexa::BodyOf("+CSQ:", "+CSQ:"), "");
  EXPECT_EQ(fonexa::BodyOf("+CSQ: ", "+CSQ:"), "");
}
