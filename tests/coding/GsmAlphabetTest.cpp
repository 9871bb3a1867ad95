// The default alphabet, its extension table and the choice between 7-bit
// and 16-bit for a text.
#include <gtest/gtest.h>

#include <string>

#include "codec/CMxGsmCoding.h"
#include "codec/GsmAlphabet.h"

namespace fonexa {
namespace {

std::string Byte(int b) { return std::string(1, static_cast<char>(b)); }

TEST(GsmAlphabetTest, LatinBytesMapToTheirCodesAndTheRestToUnderscore) {
  EXPECT_EQ(CMxGsmCoding::CharToSeptet('@'), 0x00);
  EXPECT_EQ(CMxGsmCoding::CharToSeptet('\xA3'), 0x01);  // pound
  EXPECT_EQ(CMxGsmCoding::CharToSeptet('_'), 0x11);
  EXPECT_EQ(CMxGsmCoding::CharToSeptet('\xA4'), 0x24);  // currency sign
  EXPECT_EQ(CMxGsmCoding::CharToSeptet('\xE0'), 0x7F);  // a grave
  EXPECT_EQ(CMxGsmCoding::CharToSeptet('['), 0x1B);
  EXPECT_EQ(CMxGsmCoding::GetExtensionCode('['), 0x3C);
  EXPECT_EQ(CMxGsmCoding::GetExtensionCode('a'), 0);
  EXPECT_EQ(CMxGsmCoding::CharToSeptet('\xE1'), 0x11);  // a acute
  EXPECT_EQ(CMxGsmCoding::CharToSeptet('`'), 0x11);
}

// Encoding a character and decoding its code gives the character back, for
// every character the alphabet has, except those the decoder shows as "_".
TEST(GsmAlphabetTest, EveryCharacterWithALatinByteSurvivesEncodeAndDecode) {
  for (int code = 0; code < 128; ++code) {
    const uint8_t byte = gsm7::kDefaultAlphabet[code];
    const bool shownAsUnderscore = byte == 0;
    if (code == gsm7::kEscape || shownAsUnderscore) continue;
    EXPECT_EQ(CMxGsmCoding::CharToSeptet(static_cast<char>(byte)), code);
    EXPECT_EQ(CMxGsmCoding::SeptetToText(code), Byte(byte)) << "code " << code;
  }
}

TEST(GsmAlphabetTest, EscapedCodesDecodeThroughTheExtensionTable) {
  CMxGsmCoding::GetTextFromPdu("", 0, 0);  // clears the escape state
  EXPECT_EQ(CMxGsmCoding::SeptetToText(0x1B), "");
  EXPECT_EQ(CMxGsmCoding::SeptetToText(0x14), "^");
  EXPECT_EQ(CMxGsmCoding::SeptetToText(0x28), "(") << "the escape covers one code only";
  EXPECT_EQ(CMxGsmCoding::SeptetToText(0x1B), "");
  EXPECT_EQ(CMxGsmCoding::SeptetToText(0x41), "_") << "no extension character at 0x41";
  EXPECT_EQ(CMxGsmCoding::SeptetToText(0x1B), "");
  EXPECT_EQ(CMxGsmCoding::SeptetToText(0x0A), "\f");
}

TEST(GsmAlphabetTest, CodesWithoutLatinByteDecodeAsUnderscore) {
  CMxGsmCoding::GetTextFromPdu("", 0, 0);
  for (int code = 0x10; code <= 0x1A; ++code) EXPECT_EQ(CMxGsmCoding::SeptetToText(code), "_") << code;
}

// The currency sign is Latin-1's 0xA4; it once read as "_".
TEST(GsmAlphabetTest, CurrencySignTravelsBothWays) {
  CMxGsmCoding::GetTextFromPdu("", 0, 0);
  EXPECT_EQ(CMxGsmCoding::SeptetToText(0x24), "\xA4");
  EXPECT_EQ(CMxGsmCoding::CharToSeptet('\xA4'), 0x24);
  EXPECT_EQ(CMxGsmCoding::GetTextFromPdu(CMxGsmCoding::EncodeUserData("\xA4" "5", 0), 2, 0), "\xA4" "5");
}

TEST(GsmAlphabetTest, DecodingATextClearsAnEscapeLeftByTheLastOne) {
  // Text "(" preceded by a dangling escape would read as "{".
  EXPECT_EQ(CMxGsmCoding::GetTextFromPdu("1B", 1, 0), "");
  EXPECT_EQ(CMxGsmCoding::SeptetToText(0x28), "{") << "the escape outlives its text";
  EXPECT_EQ(CMxGsmCoding::GetTextFromPdu("1B", 1, 0), "");
  EXPECT_EQ(CMxGsmCoding::GetTextFromPdu("28", 1, 0), "(");
}

TEST(SelectAlphabetTest, DefaultAlphabetAndBracketsStaySevenBit) {
  EXPECT_EQ(CMxGsmCoding::SelectAlphabet(""), 0);
  EXPECT_EQ(CMxGsmCoding::SelectAlphabet("abc"), 0);
  EXPECT_EQ(CMxGsmCoding::SelectAlphabet("caf\xE9 \xA3" "5 [x] {y} ~|^\\"), 0);
  EXPECT_EQ(CMxGsmCoding::SelectAlphabet("_@$\n\r"), 0);
}

TEST(SelectAlphabetTest, CharacterOutsideTheAlphabetForcesSixteenBit) {
  EXPECT_EQ(CMxGsmCoding::SelectAlphabet("bl\xE1"), 2);  // a acute
  EXPECT_EQ(CMxGsmCoding::SelectAlphabet("`quoted`"), 2);
  EXPECT_EQ(CMxGsmCoding::SelectAlphabet("page\fbreak"), 2) << "form feed is refused although it has a code";
}

}  // namespace
}  // namespace fonexa
