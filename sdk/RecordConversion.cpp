#include "RecordConversion.h"

#include <cstring>
#include <ctime>
#include <string>

namespace Mebrix::Fonexa::sdk {
namespace {

// A record's text field is NUL-terminated by the engine; the bound keeps a
// field without its NUL from reading past the record.
template <size_t N>
std::string TextOf(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidTime(int year, int month, int day, int hour, int minute, int second, int firstYear) {
  return year >= firstYear && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month) && hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 &&
         second <= 59;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

}  // namespace

CallFields FieldsOf(const MxCallRecord& record) {
  return CallFields{record.index,      record.direction,           record.state,        record.mode,
                    record.multiparty, TextOf(record.phoneNumber), record.typeOfNumber, TextOf(record.name)};
}

SmsFields FieldsOf(const MxSmsRecord& record) {
  return SmsFields{record.index,
                   record.status,
                   record.year,
                   record.month,
                   record.day,
                   record.hour,
                   record.minute,
                   record.second,
                   TextOf(record.phoneNumber),
                   TextOf(record.messageText),
                   TextOf(record.providerNumber),
                   record.reserved};
}

namespace {

// The fields both UTF-8 records carry under the same names.
template <class Record>
void FillMessageFields(const Record& record, MessageFields& fields) {
  fields.state = record.status;
  fields.kind = record.kind;
  fields.time = CalendarFields{record.year, record.month, record.day, record.hour, record.minute, record.second};
  fields.partReference = record.partReference;
  fields.partCount = record.partCount;
  fields.phoneNumber = TextOf(record.phoneNumber);
  fields.messageText = TextOf(record.messageText);
  fields.providerPhone = TextOf(record.providerNumber);
}

}  // namespace

SmsUtf8Fields FieldsOf(const MxSmsUtf8Record& record) {
  SmsUtf8Fields fields;
  FillMessageFields(record, fields);
  fields.index = record.index;
  fields.partNumber = record.partNumber;
  fields.reportReference = record.reportReference;
  fields.reportStatus = record.reportStatus;
  fields.discharge = CalendarFields{record.dischargeYear, record.dischargeMonth,  record.dischargeDay,
                                    record.dischargeHour, record.dischargeMinute, record.dischargeSecond};
  return fields;
}

JoinedSmsFields FieldsOf(const MxJoinedSmsRecord& record) {
  JoinedSmsFields fields;
  FillMessageFields(record, fields);
  fields.missingParts = record.missingParts;
  // The count comes from the phone's messages; the array holds at most
  // FONEXA_MAX_PARTS indices whatever it says.
  const int indices = record.partCount < 0 ? 0 : record.partCount > FONEXA_MAX_PARTS ? FONEXA_MAX_PARTS : record.partCount;
  fields.partIndices.assign(record.partIndices, record.partIndices + indices);
  fields.textLength = record.textLength;
  return fields;
}

CTime LocalTimeToSeconds(const CalendarFields& time) {
  return LocalTimeToSeconds(time.year, time.month, time.day, time.hour, time.minute, time.second);
}

PhoneBookFields FieldsOf(const MxPhoneBookRecord& record) {
  return PhoneBookFields{record.index,        TextOf(record.phoneNumber),
                         record.typeOfNumber, TextOf(record.name),
                         record.year,         record.month,
                         record.day,          record.hour,
                         record.minute};
}

NetworkFields FieldsOf(const MxOperatorRecord& record) {
  return NetworkFields{TextOf(record.name), record.codeNumber, record.mode, record.state};
}

CTime LocalTimeToSeconds(int year, int month, int day, int hour, int minute, int second) {
  // The calendar starts where seconds since 1970 can still say it locally.
  if (!IsValidTime(year, month, day, hour, minute, second, 1970)) return -1;
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  const std::time_t seconds = std::mktime(&local);
  return seconds == static_cast<std::time_t>(-1) ? -1 : static_cast<CTime>(seconds);
}

SYSTEMTIME SystemTimeOf(CTime seconds) {
  SYSTEMTIME result{};
  if (seconds < 0) return result;
  const std::time_t value = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (!localtime_r(&value, &local) || local.tm_year + 1900 > 9999) return result;
  result.wYear = static_cast<uint16_t>(local.tm_year + 1900);
  result.wMonth = static_cast<uint16_t>(local.tm_mon + 1);
  result.wDayOfWeek = static_cast<uint16_t>(local.tm_wday);
  result.wDay = static_cast<uint16_t>(local.tm_mday);
  result.wHour = static_cast<uint16_t>(local.tm_hour);
  result.wMinute = static_cast<uint16_t>(local.tm_min);
  result.wSecond = static_cast<uint16_t>(local.tm_sec);
  return result;
}

OleDate OleDateOf(int year, int month, int day, int hour, int minute, int second) {
  if (!IsValidTime(year, month, day, hour, minute, second, 100)) return 0;
  // Day 0 is 1899-12-30, 25569 days before 1970-01-01.
  const double days = static_cast<double>(DaysFromCivil(year, month, day) + 25569);
  const double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  // Before day 0 the date counts down while its time of day still counts up:
  // -1.25 is 1899-12-29 06:00.
  return days >= 0 ? days + fraction : days - fraction;
}

OleDate PhoneBookDateOf(const PhoneBookFields& fields) {
  const int year = fields.year >= 0 && fields.year < 100 ? fields.year + 2000 : fields.year;
  return OleDateOf(year, fields.month, fields.day, fields.hour, fields.minute, 0);
}

}  // namespace Mebrix::Fonexa::sdk
