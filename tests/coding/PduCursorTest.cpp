// Reading octets and addresses from PDU text without ever leaving it.
#include <gtest/gtest.h>

#include <string>

#include "codec/CMxGsmCoding.h"
#include "codec/PduCursor.h"

namespace fonexa {
namespace {

TEST(ReadHexOctetTest, ReadsHexDigitsUntilAnInvalidOneOrTheEnd) {
  EXPECT_EQ(CMxGsmCoding::ReadHexOctet("001A", 2, 0), 0x1A);
  EXPECT_EQ(CMxGsmCoding::ReadHexOctet("ff", 0, 0), 0xFF);
  EXPECT_EQ(CMxGsmCoding::ReadHexOctet("1G", 0, 0), 0x1);
  EXPECT_EQ(CMxGsmCoding::ReadHexOctet("G1", 0, 0), 0);
  EXPECT_EQ(CMxGsmCoding::ReadHexOctet("12A", 2, 0), 0xA) << "a lone last digit";
  EXPECT_EQ(CMxGsmCoding::ReadHexOctet("12", 2, 0), 0);
  EXPECT_EQ(CMxGsmCoding::ReadHexOctet("12", 1000, 0), 0);
  EXPECT_EQ(CMxGsmCoding::ReadHexOctet("12", -1, 0), 0);
}

TEST(ReadHexOctetTest, SemiDecimalSwapsTheDigits) {
  EXPECT_EQ(CMxGsmCoding::ReadHexOctet("21", 0, 1), 12);
  EXPECT_EQ(CMxGsmCoding::ReadHexOctet("90", 0, 1), 9);
  EXPECT_EQ(CMxGsmCoding::ReadHexOctet("F2", 0, 1), 2) << "a non-digit stops the conversion";
  EXPECT_EQ(CMxGsmCoding::ReadHexOctet("2F", 0, 1), 0);
}

TEST(PduCursorTest, ReadsOctetsInOrderAndZeroPastTheEnd) {
  PduCursor cursor("0A1B2");
  EXPECT_EQ(cursor.Octet(), 0x0A);
  EXPECT_EQ(cursor.Octet(), 0x1B);
  EXPECT_EQ(cursor.Octet(), 0x2) << "a lone last digit";
  EXPECT_TRUE(cursor.AtEnd());
  EXPECT_EQ(cursor.Octet(), 0);
  EXPECT_EQ(cursor.Position(), 5u);
  cursor.Skip(~size_t{0} / 2);
  EXPECT_EQ(cursor.Position(), 5u);
  EXPECT_EQ(cursor.Rest(), "");
}

TEST(PduCursorTest, AddressDigitsAreSwappedWithTheFillerDropped) {
  std::string number;
  PduCursor cursor("2143F5");
  cursor.AppendAddressDigits(3, number);
  EXPECT_EQ(number, "12345");
}

TEST(PduCursorTest, AddressDigitsStopAtTheEndOfTheText) {
  std::string number;
  PduCursor cursor("21436");
  cursor.AppendAddressDigits(6, number);
  EXPECT_EQ(number, "12346") << "a lone last digit is copied once";
  EXPECT_TRUE(cursor.AtEnd());
}

}  // namespace
}  // namespace fonexa
