// Caller texts on their way into a command line, and numbers on their way
// into an SMS-SUBMIT's address field.
#include <gtest/gtest.h>

#include <string>

#include "text/CommandText.h"

using fonexa::AddressForPdu;
using fonexa::FitsCommandLine;
using fonexa::TextPlace;

TEST(CommandText, EveryControlByteAndDelAreRefusedWherever) {
  for (int byte = 0; byte < 0x20; ++byte) {
    const std::string text = std::string("Ann") + static_cast<char>(byte) + "e";
    EXPECT_FALSE(FitsCommandLine(text, TextPlace::Quoted)) << byte;
    EXPECT_FALSE(FitsCommandLine(text, TextPlace::Bare)) << byte;
  }
  EXPECT_FALSE(FitsCommandLine("Ann\x7F", TextPlace::Quoted));
  EXPECT_FALSE(FitsCommandLine("Ann\x7F", TextPlace::Bare));
}

TEST(CommandText, QuotesAndCommandSeparators) {
  EXPECT_FALSE(FitsCommandLine("24/01/01\"", TextPlace::Quoted));
  EXPECT_FALSE(FitsCommandLine("+123\"", TextPlace::Bare));
  // Inside quotes ";" is text; as a bare parameter it begins another command.
  EXPECT_TRUE(FitsCommandLine("Doe; J", TextPlace::Quoted));
  EXPECT_FALSE(FitsCommandLine("+123;+CMGD=1,4", TextPlace::Bare));
  // What names and clock texts hold stays: commas, blanks, Latin-1 letters.
  EXPECT_TRUE(FitsCommandLine("Doe, J\xE9r\xF4me (work)", TextPlace::Quoted));
  EXPECT_TRUE(FitsCommandLine("24/03/01,08:00:00+04", TextPlace::Quoted));
  EXPECT_TRUE(FitsCommandLine("", TextPlace::Quoted));
}

TEST(CommandText, AddressesAreCleanedThenHeldToTwentyDigits) {
  struct Case {
    const char* number;
    const char* address;  // null: refused
  };
  const Case cases[] = {
      {"+44 (0) 20-1234", "+44201234"},
      {"0049-(0)89/1234", "0049891234"},
      {"*100#", "*100#"},
      {"+12345678901234567890", "+12345678901234567890"},
      {"12345678901234567890", "12345678901234567890"},
      {"+123456789012345678901", nullptr},
      {"1+2", nullptr},
      {"++12", nullptr},
      {"12a", nullptr},
      {"555\"", nullptr},
      {"555\r", nullptr},
      {"555;+CMGS=5", nullptr},
  };
  for (const auto& c : cases) {
    const auto address = AddressForPdu(c.number);
    if (!c.address) {
      EXPECT_FALSE(address) << c.number;
      continue;
    }
    ASSERT_TRUE(address) << c.number;
    EXPECT_EQ(*address, c.address);
  }
  EXPECT_FALSE(AddressForPdu(std::string(276, '1')));
}
