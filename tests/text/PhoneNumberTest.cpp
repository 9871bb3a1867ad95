#include "text/PhoneNumber.h"

#include <gtest/gtest.h>

using fonexa::CleanPhoneNumber;
using fonexa::ComparePhoneNumbers;

TEST(CleanPhoneNumber, DropsFormattingAndTheTrunkZeroInParentheses) {
  EXPECT_EQ(CleanPhoneNumber("+44 (0) 20-1234"), "+44201234");
  EXPECT_EQ(CleanPhoneNumber("(020) 123/45"), "2012345");
  EXPECT_EQ(CleanPhoneNumber("(0)"), "");
  EXPECT_EQ(CleanPhoneNumber("0049-(0)89/1234"), "0049891234");
  EXPECT_EQ(CleanPhoneNumber("(1)(2)"), "1(2)");  // only the first pair is treated
  EXPECT_EQ(CleanPhoneNumber(""), "");
}

TEST(ComparePhoneNumbers, SameNumberInOtherForms) {
  EXPECT_TRUE(ComparePhoneNumbers("+420 777 123 456", "777123456"));
  EXPECT_TRUE(ComparePhoneNumbers("+420123", "420123"));
  EXPECT_TRUE(ComparePhoneNumbers("123456", "0123456"));
  EXPECT_TRUE(ComparePhoneNumbers("12345", "012345"));
  EXPECT_TRUE(ComparePhoneNumbers("000", "0"));
}

TEST(ComparePhoneNumbers, ShortTailsAndEmptyNumbersNeverMatch) {
  EXPECT_FALSE(ComparePhoneNumbers("23456", "123456"));
  EXPECT_FALSE(ComparePhoneNumbers("12345", "2345"));
  EXPECT_FALSE(ComparePhoneNumbers("", ""));
  EXPECT_FALSE(ComparePhoneNumbers("(0)", "0"));
  EXPECT_FALSE(ComparePhoneNumbers("+420777123456", "+420777123457"));
}
