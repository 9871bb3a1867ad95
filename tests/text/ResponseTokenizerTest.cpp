#include "text/ResponseTokenizer.h"

#include <gtest/gtest.h>

#include <vector>

#include "text/NumberText.h"

using fonexa::ResponseTokenizer;

namespace {

const std::string kQuoteSet = std::string(" ,\"\r\n");

std::vector<std::string> AllTokens(ResponseTokenizer& t) {
  std::vector<std::string> out;
  while (t.HasMoreTokens()) out.push_back(t.NextToken());
  return out;
}

std::vector<std::string> AllBySeparator(ResponseTokenizer& t) {
  std::vector<std::string> out;
  while (t.HasMoreTokensBySeparator()) out.push_back(t.NextTokenBySeparator());
  return out;
}

}  // namespace

TEST(ResponseTokenizer, QuotedNumberAndTypeOfAClipLine) {
  ResponseTokenizer t("\"+420777123456\",145\r\n", false, kQuoteSet);
  EXPECT_EQ(t.CountTokens(), 2);
  EXPECT_EQ(t.NextToken(), "+420777123456");
  EXPECT_EQ(t.NextToken(), "145");
  EXPECT_FALSE(t.HasMoreTokens());
  EXPECT_EQ(t.NextToken(), "");  // exhausted: empty, no failure
}

TEST(ResponseTokenizer, RunsOfDelimitersCollapse) {
  ResponseTokenizer t(",,1,,2,,", false, ",");
  EXPECT_EQ(AllTokens(t), (std::vector<std::string>{"1", "2"}));
}

TEST(ResponseTokenizer, QuotesAreOrdinaryUnlessDelimiters) {
  // A name with a space inside quotes is split there: the tokenizer knows no quotes.
  ResponseTokenizer t("1,\"Jan Novak\",129", false, " ,");
  EXPECT_EQ(AllTokens(t), (std::vector<std::string>{"1", "\"Jan", "Novak\"", "129"}));
}

TEST(ResponseTokenizer, ReturnDelimitersGivesThemAsTokens) {
  ResponseTokenizer t("a,b", true, ",");
  EXPECT_EQ(AllTokens(t), (std::vector<std::string>{"a", ",", "b"}));
}

TEST(ResponseTokenizer, NewDelimitersApplyFromTheCurrentPosition) {
  ResponseTokenizer t("+CALA: Wake up, now\r\n", false, " ");
  EXPECT_EQ(t.NextToken(), "+CALA:");
  EXPECT_TRUE(t.HasMoreTokens());  // caches a look-ahead for the old set
  EXPECT_EQ(t.NextToken("\r\n"), " Wake up, now");
}

TEST(ResponseTokenizer, RestOfTextAndCountDoNotDisturb) {
  ResponseTokenizer t("+COPS: 0,2,\"23001\"", false, " ,");
  EXPECT_EQ(t.NextToken(), "+COPS:");
  EXPECT_EQ(t.CountTokens(), 3);
  EXPECT_EQ(t.NextToken(), "0");
  EXPECT_EQ(t.RestOfText(), "2,\"23001\"");
  EXPECT_EQ(t.RestOfText(), "");
}

TEST(ResponseTokenizer, HighBytesAreComparedLikeAnyOther) {
  // Latin-1 letters are negative as signed chars; they must not pass for delimiters.
  ResponseTokenizer t("Stra\xdf" "e,\xe9t\xe9", false, ",");
  EXPECT_EQ(AllTokens(t), (std::vector<std::string>{"Stra\xdf" "e", "\xe9t\xe9"}));
  ResponseTokenizer latin("a\xa0" "b", false, "\xa0");
  EXPECT_EQ(AllTokens(latin), (std::vector<std::string>{"a", "b"}));
}

TEST(ResponseTokenizerSeparator, OperatorListSplitsAtTheWholeSeparator) {
  ResponseTokenizer t("(1,X),,(0,1)", false, "),,(");
  EXPECT_EQ(t.CountTokensBySeparator(), 2);
  EXPECT_EQ(t.NextTokenBySeparator(), "(1,X");
  EXPECT_EQ(t.NextTokenBySeparator(), "0,1)");
  EXPECT_FALSE(t.HasMoreTokensBySeparator());
}

TEST(ResponseTokenizerSeparator, TextWithoutTheSeparatorHasNoToken) {
  ResponseTokenizer t("(2,\"Op\",\"O\",\"23001\")", false, "),,(");
  EXPECT_FALSE(t.HasMoreTokensBySeparator());
  EXPECT_EQ(t.CountTokensBySeparator(), 0);
  EXPECT_EQ(t.NextTokenBySeparator(), "");
}

TEST(ResponseTokenizerSeparator, RepeatedAndLeadingSeparatorsCollapse) {
  ResponseTokenizer t("::a::::b::", false, "::");
  EXPECT_EQ(AllBySeparator(t), (std::vector<std::string>{"a", "b"}));
}

TEST(StringToInt, FollowsAtoiButGivesMinusOneForEmpty) {
  EXPECT_EQ(fonexa::StringToInt(""), -1);
  EXPECT_EQ(fonexa::StringToInt("145"), 145);
  EXPECT_EQ(fonexa::StringToInt("  -7x"), -7);
  EXPECT_EQ(fonexa::StringToInt("+12"), 12);
  EXPECT_EQ(fonexa::StringToInt("abc"), 0);
  EXPECT_EQ(fonexa::StringToInt("\"3\""), 0);
  EXPECT_EQ(fonexa::StringToInt("99999999999999"), 2147483647);  // saturates instead of overflowing
}
