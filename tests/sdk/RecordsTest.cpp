// The record classes built from the engine's flat records: their fields and
// the times they make of them.
#include <chrono>
#include <cstring>

#include "SdkFixture.h"
#include "fonexa/Fonexa.h"

using namespace Mebrix::Fonexa;
using fonexa::sdktest::VirtualPhoneTest;

namespace {

// The date value of a calendar time, counted independently of the SDK.
double DateValue(int year, unsigned month, unsigned day, int hour, int minute) {
  using namespace std::chrono;
  const auto days = sys_days{std::chrono::year{year} / month / day} - sys_days{1899y / December / 30};
  return days.count() + (hour * 60 + minute) / 1440.0;
}

MxPhoneBookRecord PhoneBookRecord(int year, int month, int day, int hour, int minute) {
  MxPhoneBookRecord record{};
  record.index = 4;
  std::strcpy(record.phoneNumber, "+420606111222");
  record.typeOfNumber = 145;
  std::strcpy(record.name, "Dana");
  record.year = year;
  record.month = month;
  record.day = day;
  record.hour = hour;
  record.minute = minute;
  return record;
}

TEST(SdkPhoneBookEntryTime, TwoDigitYearsCountFrom2000) {
  const PhoneBook::PhoneBookEntry entry(PhoneBookRecord(26, 3, 4, 5, 6));
  EXPECT_DOUBLE_EQ(entry.GetTime(), DateValue(2026, 3, 4, 5, 6));
  EXPECT_DOUBLE_EQ(PhoneBook::PhoneBookEntry(PhoneBookRecord(0, 1, 1, 0, 0)).GetTime(), DateValue(2000, 1, 1, 0, 0));
  EXPECT_DOUBLE_EQ(PhoneBook::PhoneBookEntry(PhoneBookRecord(1999, 12, 31, 23, 59)).GetTime(),
                   DateValue(1999, 12, 31, 23, 59));
  EXPECT_EQ(entry.GetPosition(), 4);
  EXPECT_STREQ(entry.GetName(), "Dana");
  // The per-instance record carries the same fields.
  const Dynamic::PhoneBook::PhoneBookEntry same(PhoneBookRecord(26, 3, 4, 5, 6));
  EXPECT_EQ(same.GetPhoneNumber(), "+420606111222");
  EXPECT_EQ(same.GetType(), 145);
}

TEST(SdkPhoneBookEntryTime, NoDateIsZero) {
  EXPECT_EQ(PhoneBook::PhoneBookEntry().GetTime(), 0.0);
  EXPECT_EQ(PhoneBook::PhoneBookEntry(PhoneBookRecord(0, 0, 0, 0, 0)).GetTime(), 0.0);
  EXPECT_EQ(PhoneBook::PhoneBookEntry(PhoneBookRecord(26, 2, 30, 0, 0)).GetTime(), 0.0);
  EXPECT_EQ(PhoneBook::PhoneBookEntry(PhoneBookRecord(26, 13, 1, 0, 0)).GetTime(), 0.0);
  EXPECT_EQ(PhoneBook::PhoneBookEntry(PhoneBookRecord(26, 1, 1, 24, 0)).GetTime(), 0.0);
  // Before day 0 the day counts down and the time of day still counts up.
  EXPECT_DOUBLE_EQ(PhoneBook::PhoneBookEntry(PhoneBookRecord(1899, 12, 29, 6, 0)).GetTime(), -1.25);
}

TEST(SdkSmsEntryTime, LocalCalendarTimeAndSeconds) {
  MxSmsRecord record{};
  record.index = 3;
  record.status = 1;
  record.year = 2026;
  record.month = 7;
  record.day = 14;
  record.hour = 9;
  record.minute = 30;
  record.second = 15;
  std::strcpy(record.phoneNumber, "+420606111222");
  std::strcpy(record.messageText, "Text");
  std::strcpy(record.providerNumber, "+420603052000");
  record.reserved = 167;
  const Sms::SmsEntry entry(record);
  const SYSTEMTIME t = entry.GetTime();
  EXPECT_EQ(t.wYear, 2026);
  EXPECT_EQ(t.wMonth, 7);
  EXPECT_EQ(t.wDay, 14);
  EXPECT_EQ(t.wDayOfWeek, 2);  // a Tuesday
  EXPECT_EQ(t.wHour, 9);
  EXPECT_EQ(t.wMinute, 30);
  EXPECT_EQ(t.wSecond, 15);
  EXPECT_EQ(t.wMilliseconds, 0);
  EXPECT_EQ(entry.GetValidity(), 167);
  EXPECT_STREQ(entry.GetProviderPhone(), "+420603052000");

  const Dynamic::Sms::SmsEntry seconds(record);
  std::tm local{};
  local.tm_year = 126, local.tm_mon = 6, local.tm_mday = 14, local.tm_hour = 9, local.tm_min = 30, local.tm_sec = 15;
  local.tm_isdst = -1;
  EXPECT_EQ(seconds.GetTime(), static_cast<CTime>(std::mktime(&local)));

  // A record without a time stamp has no time.
  const SYSTEMTIME none = Sms::SmsEntry(MxSmsRecord{}).GetTime();
  EXPECT_EQ(none.wYear, 0);
  EXPECT_EQ(Dynamic::Sms::SmsEntry(MxSmsRecord{}).GetTime(), -1);
}

TEST(SdkRecordTexts, AFieldWithoutItsNulStaysInsideTheRecord) {
  MxCallRecord record{};
  std::memset(record.phoneNumber, '7', sizeof record.phoneNumber);
  std::memset(record.name, 'N', sizeof record.name);
  const Call::CallEntry entry(record);
  EXPECT_EQ(std::strlen(entry.GetPhoneNumber()), sizeof record.phoneNumber);
  EXPECT_EQ(std::strlen(entry.GetName()), sizeof record.name);
}

// An Ericsson phone sends its call lists with two-digit years.
using SdkPhoneBookTimes = VirtualPhoneTest;

TEST_F(SdkPhoneBookTimes, CallListTimesFromThePhoneGetTheirCentury) {
  fonexa::sim::ModemOptions options;
  options.profile = "ericsson";
  StartModem(options);
  fonexa::sim::SmsTimestamp when;
  when.year = 2026, when.month = 3, when.day = 4, when.hour = 5, when.minute = 6;
  StoreEntry("MC", 1, "+420606111222", "Missed", when);
  Dynamic::Gsm gsm;
  ASSERT_EQ(Dynamic::Module(&gsm).Initialize(Spec("EricssonPhone")), 1);
  ASSERT_EQ(Dynamic::PhoneBook(&gsm).SetStorage(3), 1);  // "MC"
  MxPhoneBookRecord record{};
  ASSERT_EQ(ReadPhoneBookEntry(gsm(), 1, &record), 1);
  EXPECT_EQ(record.year, 26);  // the flat record keeps what the phone sent
  const PhoneBook::PhoneBookEntry entry(record);
  EXPECT_DOUBLE_EQ(entry.GetTime(), DateValue(2026, 3, 4, 5, 6));
}

}  // namespace
