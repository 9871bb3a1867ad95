// GSM 03.38 default alphabet, its extension table, and septet packing.
#include <gtest/gtest.h>

#include "sim/codec/GsmAlphabet.h"
#include "sim/codec/HexText.h"
#include "sim/codec/UnicodeText.h"

namespace fonexa::sim {
namespace {

TEST(GsmAlphabet, EveryDefaultAndExtensionCodeDecodesToTheCharacterThatEncodesBack) {
  for (uint8_t code = 0; code < 128; ++code) {
    if (code == GsmAlphabet::kEscape) continue;
    const std::u32string c = GsmAlphabet::decode({code});
    ASSERT_EQ(c.size(), 1u) << int(code);
    EXPECT_EQ(GsmAlphabet::encode(c), std::vector<uint8_t>{code}) << int(code);
  }
  for (uint8_t code : {0x0A, 0x14, 0x28, 0x29, 0x2F, 0x3C, 0x3D, 0x3E, 0x40, 0x65}) {
    const std::u32string c = GsmAlphabet::decode({GsmAlphabet::kEscape, code});
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(GsmAlphabet::encode(c), (std::vector<uint8_t>{GsmAlphabet::kEscape, code}));
    EXPECT_EQ(GsmAlphabet::septetsFor(c[0]), 2);
  }
}

TEST(GsmAlphabet, KnowsWhichCharactersItCannotCarry) {
  EXPECT_EQ(GsmAlphabet::septetsFor(U'\u00E1'), 0);  // a acute: UCS2 territory
  EXPECT_EQ(GsmAlphabet::septetsFor(U'\u00E9'), 1);  // e acute is in the table
  EXPECT_EQ(GsmAlphabet::septetsFor(U'`'), 0);
  EXPECT_FALSE(GsmAlphabet::encode(U"caf\u00E1"));
  EXPECT_EQ(encodeUtf8(GsmAlphabet::decode(*GsmAlphabet::encode(U"@\u00A3$\u00A5 \u0394_ \u00C4\u00D6\u00DC\u00A7 \u00BF\u00E0"))),
            encodeUtf8(U"@\u00A3$\u00A5 \u0394_ \u00C4\u00D6\u00DC\u00A7 \u00BF\u00E0"));
}

TEST(GsmAlphabet, UnknownEscapesShowTheDefaultCharacterAndATrailingEscapeASpace) {
  EXPECT_EQ(GsmAlphabet::decode({GsmAlphabet::kEscape, 0x41}), U"A");
  EXPECT_EQ(GsmAlphabet::decode({0x41, GsmAlphabet::kEscape}), U"A ");
}

TEST(SeptetPacking, PacksTheTextbookExamplesAndUnpacksThemAgain) {
  EXPECT_EQ(toHex(GsmAlphabet::pack(*GsmAlphabet::encode(U"abc"))), "61F118");
  EXPECT_EQ(toHex(GsmAlphabet::pack(*GsmAlphabet::encode(U"hellohello"))), "E8329BFD4697D9EC37");
  // One fill bit aligns the text behind a 6-octet header.
  EXPECT_EQ(toHex(GsmAlphabet::pack(*GsmAlphabet::encode(U"abc"), 1)), "C2E231");
  for (size_t n = 0; n < 20; ++n) {
    std::vector<uint8_t> septets;
    for (size_t i = 0; i < n; ++i) septets.push_back(static_cast<uint8_t>((i * 37 + 5) & 0x7F));
    const auto packed = GsmAlphabet::pack(septets);
    EXPECT_EQ(packed.size(), (n * 7 + 7) / 8);
    EXPECT_EQ(GsmAlphabet::unpack(packed.data(), packed.size(), n), septets) << n;
  }
}

TEST(SeptetPacking, UnpackingStopsAtTheEndOfTheOctets) {
  const std::vector<uint8_t> two = {0x61, 0xF1};
  EXPECT_EQ(GsmAlphabet::unpack(two.data(), two.size(), 10).size(), 2u);
}

}  // namespace
}  // namespace fonexa::sim
