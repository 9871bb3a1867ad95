// Decoding received and stored PDUs: layouts, user-data headers, alphabets
// and PDUs that are cut short or carry noise.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/LocalTime.h"
#include "codec/CMxGsmCoding.h"

namespace fonexa {
namespace {

SmsEntry Decode(const std::string& pdu) {
  SmsEntry entry;
  EXPECT_EQ(CMxGsmCoding::ConvertFromPdu(pdu, 1, entry), 1);
  return entry;
}

// "How are you?" from +31641600986 through +31624000000, 2002-08-26 19:37:41.
const std::string kDeliver = "07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07";
// SMS-DELIVER head without service centre: from 12345, TP-PID 00; the
// tests append TP-DCS, time stamp, TP-UDL and TP-UD.
const std::string kDeliverHead = "000005812143F500";
const std::string kDeliverHeadWithHeader = "004005812143F500";
const std::string kTimeStamp = "42309041503300";  // 2024-03-09 14:05:33

TEST(ConvertFromPduTest, ZeroLengthDecodesNothing) {
  SmsEntry entry;
  entry.MessageText = "kept";
  EXPECT_EQ(CMxGsmCoding::ConvertFromPdu(kDeliver, 0, entry), 0);
  EXPECT_EQ(entry.MessageText, "kept");
  EXPECT_EQ(entry.PhoneNumber, "");
}

TEST(ConvertFromPduTest, LengthIsOnlyTestedForZero) {
  SmsEntry entry;
  EXPECT_EQ(CMxGsmCoding::ConvertFromPdu(kDeliver, -1, entry), 1);
  EXPECT_EQ(entry.MessageText, "How are you?");
}

TEST(ConvertFromPduTest, DeliverGivesServiceCentreSenderTimeAndText) {
  const SmsEntry e = Decode(kDeliver);
  EXPECT_EQ(e.ProviderPhone, "+31624000000");
  EXPECT_EQ(e.PhoneNumber, "+31641600986");
  EXPECT_EQ(e.MessageText, "How are you?");
  EXPECT_EQ(e.Time, platform::MakeLocalTime(2002, 8, 26, 19, 37, 41));
}

TEST(ConvertFromPduTest, EntryFieldsAreReplacedNotAppendedTo) {
  SmsEntry entry;
  entry.ProviderPhone = "old";
  entry.PhoneNumber = "old";
  CMxGsmCoding::ConvertFromPdu(kDeliver, 1, entry);
  EXPECT_EQ(entry.ProviderPhone, "+31624000000");
  EXPECT_EQ(entry.PhoneNumber, "+31641600986");
}

TEST(ConvertFromPduTest, MissingServiceCentreLeavesProviderEmpty) {
  const SmsEntry e = Decode("00" + kDeliver.substr(16));
  EXPECT_EQ(e.ProviderPhone, "");
  EXPECT_EQ(e.PhoneNumber, "+31641600986");
  EXPECT_EQ(e.MessageText, "How are you?");
}

TEST(ConvertFromPduTest, ImpossibleTimeStampLeavesTimeUnset) {
  SmsEntry entry;
  entry.Time = 12345;
  CMxGsmCoding::ConvertFromPdu(kDeliverHead + "00" + "42009041503300" + "00", 1, entry);
  EXPECT_EQ(entry.Time, 0) << "month 00";
  CMxGsmCoding::ConvertFromPdu(kDeliverHead + "00" + "42200341503300" + "00", 1, entry);
  EXPECT_EQ(entry.Time, 0) << "30 February";
}

// The time member is what mktime makes of the stamp's fields, daylight
// saving included, in zones with switches north and south, with half-hour
// offsets and in the hours a switch skips or repeats.
TEST(ConvertFromPduTest, TimeStampReadsAsLocalTimeLikeMktime) {
  const char* const saved = std::getenv("TZ");
  const std::string savedZone = saved ? saved : "";
  const char* const zones[] = {"CET-1CEST,M3.5.0,M10.5.0/3", "NST3:30NDT,M3.2.0,M11.1.0",
                               "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", "AEST-10AEDT,M10.1.0,M4.1.0/3", "<+0545>-5:45"};
  const auto semiOctets = [](int value) {
    return std::string{static_cast<char>('0' + value % 10), static_cast<char>('0' + value / 10 % 10)};
  };
  for (const char* zone : zones) {
    setenv("TZ", zone, 1);
    tzset();
    for (const int month : {3, 4, 10, 11}) {
      for (int day = 1; day <= 30; ++day) {
        for (int hour = 0; hour < 24; ++hour) {
          for (const int minute : {0, 30, 59}) {
            const std::string stamp = semiOctets(24) + semiOctets(month) + semiOctets(day) + semiOctets(hour) +
                                      semiOctets(minute) + semiOctets(7) + "00";
            const SmsEntry e = Decode(kDeliverHead + "00" + stamp + "00");
            ASSERT_EQ(e.Time, platform::MakeLocalTime(2024, month, day, hour, minute, 7))
                << zone << " 2024-" << month << "-" << day << " " << hour << ":" << minute;
          }
        }
      }
    }
  }
  if (saved) {
    setenv("TZ", savedZone.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

// ---- Stored SMS-SUBMIT: TP-MR, then TP-VP as TP-VPF says -----------------

TEST(ConvertFromPduTest, StoredSubmitSkipsRelativeValidityAndKeepsTime) {
  SmsEntry entry;
  entry.Time = 777;
  CMxGsmCoding::ConvertFromPdu("0011000B916407281553F80000AA0AE8329BFD4697D9EC37", 1, entry);
  EXPECT_EQ(entry.PhoneNumber, "+46708251358");
  EXPECT_EQ(entry.MessageText, "hellohello");
  EXPECT_EQ(entry.Time, 777) << "an SMS-SUBMIT has no time stamp";
}

TEST(ConvertFromPduTest, StoredSubmitWithoutValidityPeriod) {
  EXPECT_EQ(Decode("0001000B916407281553F800000AE8329BFD4697D9EC37").MessageText, "hellohello");
}

TEST(ConvertFromPduTest, StoredSubmitWithAbsoluteOrEnhancedValidityPeriod) {
  EXPECT_EQ(Decode("0019000B916407281553F80000" + kTimeStamp + "0AE8329BFD4697D9EC37").MessageText, "hellohello");
  EXPECT_EQ(Decode("0009000B916407281553F8000001000000000000" "0AE8329BFD4697D9EC37").MessageText,
            "hellohello");
}

// ---- User-data headers -------------------------------------------------

TEST(UserDataHeaderTest, SevenBitTextStartsAfterTheHeaderAndItsFillBits) {
  // Header 03 (UDHL) 24 01 00 takes 4 octets = 32 bits: 5 septets with 3
  // fill bits; "hi" follows on the septet boundary.
  const std::string pdu = kDeliverHeadWithHeader + "00" + kTimeStamp + "07" + "03240100" +
                          CMxGsmCoding::EncodeUserData("hi", 0, 3);
  EXPECT_EQ(Decode(pdu).MessageText, "hi");
}

TEST(UserDataHeaderTest, SevenBitHeaderSeptetsAreNeverReadAsEscapes) {
  // The last header septet here is 0x1B; it must not turn the "(" after it
  // into "{".
  const std::string header = "0500031B0201";  // 6 octets, 7 septets
  const std::string pdu = kDeliverHeadWithHeader + "00" + kTimeStamp + "08" + header +
                          CMxGsmCoding::EncodeUserData("(", 0, 1);
  EXPECT_EQ(Decode(pdu).MessageText, "(");
}

TEST(UserDataHeaderTest, EightBitTextKeepsAZeroOctetAfterTheHeader) {
  const std::string pdu = kDeliverHeadWithHeader + "04" + kTimeStamp + "09" + "050003010201" + "004142";
  EXPECT_EQ(Decode(pdu).MessageText, std::string("\0AB", 3));
}

TEST(UserDataHeaderTest, SixteenBitTextKeepsAZeroCodeUnitHighByteAfterTheHeader) {
  const std::string pdu = kDeliverHeadWithHeader + "08" + kTimeStamp + "0A" + "050003010201" + "00410042";
  EXPECT_EQ(Decode(pdu).MessageText, "AB");
}

TEST(UserDataHeaderTest, HeaderLongerThanTheDataLeavesNoText) {
  EXPECT_EQ(Decode(kDeliverHeadWithHeader + "00" + kTimeStamp + "05" + "FF0000").MessageText, "");
  EXPECT_EQ(Decode(kDeliverHeadWithHeader + "08" + kTimeStamp + "05" + "FF0000").MessageText, "");
}

// ---- Alphabets ---------------------------------------------------------

TEST(AlphabetDecodeTest, UcsTwoOutsideLatin1BecomesQuestionMark) {
  // "Ж" (U+0416) would otherwise turn into the control character 0x16.
  EXPECT_EQ(Decode(kDeliverHead + "08" + kTimeStamp + "06" + "04160041002E").MessageText, "?A.");
  EXPECT_EQ(CMxGsmCoding::GetTextFromPdu("20AC00E9", 0, 2), "?\xE9");
}

TEST(AlphabetDecodeTest, UserDataLengthBoundsEightBitAndUcsTwoText) {
  // Some phones pad a PDU read from the SIM to the record length with FF.
  EXPECT_EQ(Decode(kDeliverHead + "08" + kTimeStamp + "04" + "00480069FFFFFFFF").MessageText, "Hi");
  EXPECT_EQ(Decode(kDeliverHead + "04" + kTimeStamp + "02" + "4869FFFF").MessageText, "Hi");
}

TEST(AlphabetDecodeTest, CodingGroupsChooseTheAlphabet) {
  EXPECT_EQ(CMxGsmCoding::AlphabetOfDataCoding(0x00), 0);
  EXPECT_EQ(CMxGsmCoding::AlphabetOfDataCoding(0x04), 1);
  EXPECT_EQ(CMxGsmCoding::AlphabetOfDataCoding(0x08), 2);
  EXPECT_EQ(CMxGsmCoding::AlphabetOfDataCoding(0x18), 2) << "class 0 UCS2";
  EXPECT_EQ(CMxGsmCoding::AlphabetOfDataCoding(0x0C), 0) << "reserved alphabet";
  EXPECT_EQ(CMxGsmCoding::AlphabetOfDataCoding(0x48), 2) << "automatic deletion group";
  EXPECT_EQ(CMxGsmCoding::AlphabetOfDataCoding(0x8C), 0) << "reserved group";
  EXPECT_EQ(CMxGsmCoding::AlphabetOfDataCoding(0xC8), 0) << "voice mail waiting, discard";
  EXPECT_EQ(CMxGsmCoding::AlphabetOfDataCoding(0xD8), 0) << "voice mail waiting, store";
  EXPECT_EQ(CMxGsmCoding::AlphabetOfDataCoding(0xE0), 2) << "waiting indication in UCS2";
  EXPECT_EQ(CMxGsmCoding::AlphabetOfDataCoding(0xF1), 0);
  EXPECT_EQ(CMxGsmCoding::AlphabetOfDataCoding(0xF5), 1);
  EXPECT_EQ(CMxGsmCoding::AlphabetOfDataCoding(0xFA), 0) << "bit 3 of group F is reserved";
}

TEST(AlphabetDecodeTest, VoiceMailNoticeTextIsSevenBit) {
  const std::string text = "1 new voice mail";
  const std::string pdu = kDeliverHead + "D8" + kTimeStamp + "10" + CMxGsmCoding::EncodeUserData(text, 0);
  EXPECT_EQ(Decode(pdu).MessageText, text);
}

TEST(AlphabetDecodeTest, SevenBitUnpacksExactlyTheCount) {
  EXPECT_EQ(CMxGsmCoding::GetTextFromPdu("61F118", 3, 0), "abc");
  EXPECT_EQ(CMxGsmCoding::GetTextFromPdu("61F118", 2, 0), "ab");
  EXPECT_EQ(CMxGsmCoding::GetTextFromPdu("61F118", 0, 0), "");
  EXPECT_EQ(CMxGsmCoding::GetTextFromPdu("61F118", -5, 0), "");
}

// ---- Truncated and malformed PDUs ----------------------------------------

TEST(MalformedPduTest, EveryTruncationDecodesToAPrefixOfTheText) {
  const std::string full = "How are you?";
  for (size_t length = 0; length <= kDeliver.size(); ++length) {
    // An exact-size heap copy, so that a read past the end is caught by
    // the address sanitizer.
    const std::string cut(kDeliver.data(), length);
    SmsEntry entry;
    ASSERT_EQ(CMxGsmCoding::ConvertFromPdu(cut, 1, entry), 1);
    EXPECT_EQ(full.compare(0, entry.MessageText.size(), entry.MessageText), 0) << length << ": " << entry.MessageText;
  }
}

TEST(MalformedPduTest, LengthsLargerThanTheDataStopAtItsEnd) {
  // TP-UDL says 160 septets; 3 are there.
  EXPECT_EQ(Decode(kDeliverHead + "00" + kTimeStamp + "A0" + "61F118").MessageText, "abc");
  // Service-centre length 0xFF and address length 0xFF in a short PDU.
  EXPECT_EQ(Decode("FF91").ProviderPhone, "+");
  EXPECT_EQ(Decode("0000FF91123").PhoneNumber, "+213");
}

TEST(MalformedPduTest, NonHexDigitsEndTheTextAndReadFieldsAsZero) {
  EXPECT_EQ(Decode(kDeliverHead + "00" + kTimeStamp + "0A" + "E8329BXX4697D9EC37").MessageText, "hel");
  EXPECT_EQ(Decode(kDeliverHead + "04" + kTimeStamp + "03" + "41Z243").MessageText, "A");
  EXPECT_EQ(Decode("zz" + kDeliver).MessageText, "") << "garbage in front shifts every field";
}

TEST(MalformedPduTest, OddLengthAndLineEndAreIgnored) {
  EXPECT_EQ(Decode(kDeliver + "\r\n").MessageText, "How are you?");
  EXPECT_EQ(Decode(kDeliverHead + "08" + kTimeStamp + "05" + "004800690").MessageText, "Hi");
}

}  // namespace
}  // namespace fonexa
