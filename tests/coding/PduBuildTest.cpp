// Building SMS-SUBMIT PDUs: fields, alphabets, part counts, the
// concatenation header and its reference.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "codec/CMxGsmCoding.h"

namespace fonexa {
namespace {

struct Built {
  std::string pdu;
  int length = 0;
};

Built Build(const std::string& number, const std::string& text, int alphabet, int index = 1, int count = 1,
            int flash = 0) {
  Built b;
  b.length = CMxGsmCoding::ConvertToPdu(b.pdu, number, text, alphabet, index, count, flash);
  return b;
}

// The fields after TP-DA, for the five-digit destination the tests use:
// "00" SCA, first octet, TP-MR, "05", type, three digit octets, then these.
constexpr int kDcs = 18;
constexpr int kUdl = 22;
constexpr int kUd = 24;

int OctetAt(const std::string& pdu, int position) { return CMxGsmCoding::ReadHexOctet(pdu, position, 0); }

TEST(ConvertToPduTest, ShortTextIsOneSubmitWithRelativeValidity) {
  const Built b = Build("12345", "abc", 0);
  EXPECT_EQ(b.pdu, "00110005812143F50000AA0361F118");
  EXPECT_EQ(b.length, 14) << "octets after the service-centre octet";
}

TEST(ConvertToPduTest, InternationalNumberDropsThePlusAndTakesType91) {
  EXPECT_EQ(Build("+12345", "abc", 0).pdu.substr(6, 10), "05912143F5");
  EXPECT_EQ(Build("123456", "abc", 0).pdu.substr(6, 10), "0681214365");
}

// Service numbers ("*100#") carry "*" and "#" as the semi-octets A and B of
// a GSM 04.08 BCD number, and read back as what they were.
TEST(ConvertToPduTest, StarAndHashAreTheirSemiOctets) {
  const Built b = Build("*100#", "abc", 0);
  EXPECT_EQ(b.pdu.substr(6, 10), "05811A00FB");
  SmsEntry entry;
  // A DELIVER from "*100#" with the text "abc".
  ASSERT_EQ(CMxGsmCoding::ConvertFromPdu("000405811A00FB0000421131114530000361F118", 18, entry), 1);
  EXPECT_EQ(entry.PhoneNumber, "*100#");
}

TEST(ConvertToPduTest, CodingSchemeGivesAlphabetAndFlashClass) {
  EXPECT_EQ(OctetAt(Build("12345", "abc", 0).pdu, kDcs), 0x00);
  EXPECT_EQ(OctetAt(Build("12345", "abc", 2).pdu, kDcs), 0x08);
  EXPECT_EQ(OctetAt(Build("12345", "abc", 0, 1, 1, 1).pdu, kDcs), 0x10);
  EXPECT_EQ(OctetAt(Build("12345", "abc", 2, 1, 1, 1).pdu, kDcs), 0x18);
}

TEST(ConvertToPduTest, SixteenBitSendsEachLatinByteAsACodeUnit) {
  const Built b = Build("12345", "\xE1z", 2);
  EXPECT_EQ(OctetAt(b.pdu, kUdl), 4);
  EXPECT_EQ(b.pdu.substr(kUd), "00E1007A");
}

TEST(ConvertToPduTest, ExtensionCharacterTakesAnEscapePair) {
  EXPECT_EQ(CMxGsmCoding::GetUserDataLength("a[c", 0), 4);
  // Codes 61 1B 3C 63 packed.
  EXPECT_EQ(CMxGsmCoding::EncodeUserData("a[c", 0), "E10D6F0C");
  const Built b = Build("12345", "a[c", 0);
  EXPECT_EQ(OctetAt(b.pdu, kUdl), 4);
  EXPECT_EQ(b.pdu.substr(kUd), "E10D6F0C");
}

TEST(ConvertToPduTest, UnrepresentableCharacterIsSentAsUnderscore) {
  EXPECT_EQ(CMxGsmCoding::EncodeUserData("\xE1", 0), CMxGsmCoding::EncodeUserData("_", 0));
}

TEST(ConvertToPduTest, FullSevenBitMessageIsOnePartOf160Septets) {
  const std::string text(160, 'a');
  EXPECT_EQ(CMxGsmCoding::GetPartCount(text, 0), 1);
  const Built b = Build("12345", text, 0);
  EXPECT_EQ(b.pdu.substr(0, 6), "001100");
  EXPECT_EQ(OctetAt(b.pdu, kUdl), 0xA0);
  EXPECT_EQ(b.pdu.size() - kUd, 2u * 140);
}

TEST(ConvertToPduTest, FullSixteenBitMessageIsOnePartOf70Characters) {
  const std::string text(70, 'a');
  EXPECT_EQ(CMxGsmCoding::GetPartCount(text, 2), 1);
  EXPECT_EQ(OctetAt(Build("12345", text, 2).pdu, kUdl), 0x8C);
  EXPECT_EQ(CMxGsmCoding::GetPartCount(std::string(71, 'a'), 2), 2);
}

// ---- Concatenation -----------------------------------------------------

TEST(ConcatenationTest, SevenBitPartsKeep152CharactersAndCountSevenHeaderSeptets) {
  const std::string text(161, 'a');
  ASSERT_EQ(CMxGsmCoding::GetPartCount(text, 0), 2);
  const auto parts = CMxGsmCoding::SplitIntoParts(text, 0);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].size(), 152u);
  EXPECT_EQ(parts[1].size(), 9u);

  const Built first = Build("12345", parts[0], 0, 1, 2);
  const int reference = CMxGsmCoding::ConcatenationReference();
  const Built second = Build("12345", parts[1], 0, 2, 2);
  EXPECT_EQ(first.pdu.substr(0, 6), "005100") << "TP-UDHI set";
  EXPECT_EQ(OctetAt(first.pdu, kUdl), 152 + 7);
  EXPECT_EQ(OctetAt(second.pdu, kUdl), 9 + 7);
  char header[32];
  std::snprintf(header, sizeof header, "050003%02X0201", reference);
  EXPECT_EQ(first.pdu.substr(kUd, 12), header);
  std::snprintf(header, sizeof header, "050003%02X0202", reference);
  EXPECT_EQ(second.pdu.substr(kUd, 12), header);
  // 6 header octets, then 152 septets after one fill bit: 134 octets.
  EXPECT_EQ(first.pdu.size() - kUd, 2u * 140);
}

TEST(ConcatenationTest, TextStartsAfterOneFillBit) {
  const Built b = Build("12345", "AB", 0, 1, 2);
  // 'A' (0x41) shifted past the fill bit, then 'B' (0x42) from bit 8 on.
  EXPECT_EQ(b.pdu.substr(kUd + 12), "8242");
  EXPECT_EQ(OctetAt(b.pdu, kUdl), 7 + 2);
  EXPECT_EQ(CMxGsmCoding::EncodeUserData("AB", 0, 1), "8242");
}

TEST(ConcatenationTest, SixteenBitPartsOf67CharactersCountSixHeaderOctets) {
  const std::string text(71, 'a');
  const auto parts = CMxGsmCoding::SplitIntoParts(text, 2);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].size(), 67u);
  EXPECT_EQ(parts[1].size(), 4u);
  const Built first = Build("12345", parts[0], 2, 1, 2);
  const Built second = Build("12345", parts[1], 2, 2, 2);
  EXPECT_EQ(OctetAt(first.pdu, kUdl), 134 + 6);
  EXPECT_EQ(OctetAt(second.pdu, kUdl), 8 + 6);
  EXPECT_EQ(first.pdu.substr(kUd + 12, 4), "0061") << "no pad octet after the header";
}

TEST(ConcatenationTest, HeaderLengthsAndCapacities) {
  EXPECT_EQ(CMxGsmCoding::BuildUserDataHeader(1, 1, 0), "");
  EXPECT_EQ(CMxGsmCoding::GetHeaderLength(1, 1, 0), 0);
  EXPECT_EQ(CMxGsmCoding::GetHeaderLength(1, 3, 0), 7);
  EXPECT_EQ(CMxGsmCoding::GetHeaderLength(1, 3, 2), 6);
  EXPECT_EQ(CMxGsmCoding::GetPartCapacity(0), 152);
  EXPECT_EQ(CMxGsmCoding::GetPartCapacity(1), 134);
  EXPECT_EQ(CMxGsmCoding::GetPartCapacity(2), 67);
  EXPECT_EQ(CMxGsmCoding::GetPartCapacity(3), -1);
}

TEST(ConcatenationTest, EachMessageGetsItsOwnReferenceSharedByItsParts) {
  std::vector<int> references;
  for (int message = 0; message < 3; ++message) {
    std::string headers;
    for (int part = 1; part <= 3; ++part) {
      const Built b = Build("12345", "part", 0, part, 3);
      headers += b.pdu.substr(kUd + 6, 2);
    }
    ASSERT_EQ(headers.substr(0, 2), headers.substr(2, 2));
    ASSERT_EQ(headers.substr(0, 2), headers.substr(4, 2));
    references.push_back(OctetAt(headers, 0));
  }
  EXPECT_NE(references[0], references[1]);
  EXPECT_NE(references[1], references[2]);
  EXPECT_EQ(references[2], CMxGsmCoding::ConcatenationReference());
}

TEST(ConcatenationTest, SinglePartMessagesLeaveTheReferenceAlone) {
  Build("12345", std::string(120, 'a'), 0, 1, 2);
  const int reference = CMxGsmCoding::ConcatenationReference();
  Build("12345", "short", 0);
  Build("12345", "short", 2, 1, 1, 1);
  EXPECT_EQ(CMxGsmCoding::ConcatenationReference(), reference);
}

// ---- Counting and splitting by septets ---------------------------------

TEST(SplitTest, ExtensionCharactersCountTwoSeptetsForTheSingleMessage) {
  std::string fits(158, 'a');
  fits += '[';
  EXPECT_EQ(CMxGsmCoding::GetPartCount(fits, 0), 1) << "160 septets";
  std::string over(159, 'a');
  over += '[';
  EXPECT_EQ(CMxGsmCoding::GetPartCount(over, 0), 2) << "160 characters but 161 septets";
}

TEST(SplitTest, AnEscapePairIsNeverCutBetweenParts) {
  std::string text(151, 'a');
  text += '[';
  text += std::string(20, 'b');
  const auto parts = CMxGsmCoding::SplitIntoParts(text, 0);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0], std::string(151, 'a'));
  EXPECT_EQ(parts[1], "[" + std::string(20, 'b'));
}

TEST(SplitTest, PartsOfBracketHeavyTextStayWithinCapacityAndJoinUp) {
  std::string text;
  for (int i = 0; i < 120; ++i) text += i % 3 == 0 ? "{x}" : "ab|";
  const auto parts = CMxGsmCoding::SplitIntoParts(text, 0);
  EXPECT_EQ(static_cast<int>(parts.size()), CMxGsmCoding::GetPartCount(text, 0));
  std::string joined;
  for (size_t i = 0; i < parts.size(); ++i) {
    const int septets = CMxGsmCoding::GetUserDataLength(parts[i], 0);
    EXPECT_LE(septets, 152);
    if (i + 1 < parts.size()) {
      EXPECT_GE(septets, 151) << "only an escape pair that does not fit leaves room";
    }
    joined += parts[i];
  }
  EXPECT_EQ(joined, text);
  // Plain text keeps the familiar counts: 152 characters a part.
  EXPECT_EQ(CMxGsmCoding::GetPartCount(std::string(304, 'a'), 0), 2);
  EXPECT_EQ(CMxGsmCoding::GetPartCount(std::string(305, 'a'), 0), 3);
}

TEST(SplitTest, SixteenBitCountsCharacters) {
  EXPECT_EQ(CMxGsmCoding::GetPartCount(std::string(134, 'x'), 2), 2);
  EXPECT_EQ(CMxGsmCoding::GetPartCount(std::string(135, 'x'), 2), 3);
  EXPECT_EQ(CMxGsmCoding::GetPartCount("", 0), 1);
  EXPECT_EQ(CMxGsmCoding::GetPartCount("abc", 7), -1);
  EXPECT_TRUE(CMxGsmCoding::SplitIntoParts("abc", 7).empty());
}

}  // namespace
}  // namespace fonexa
