#include "sim/state/ModemClock.h"

#include <cctype>
#include <ctime>

namespace fonexa::sim {
namespace {

bool twoDigits(std::string_view s, size_t at, int& value) {
  if (at + 2 > s.size() || !std::isdigit(static_cast<unsigned char>(s[at])) ||
      !std::isdigit(static_cast<unsigned char>(s[at + 1]))) {
    return false;
  }
  value = (s[at] - '0') * 10 + (s[at + 1] - '0');
  return true;
}

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<SmsTimestamp> ModemClock::parse(std::string_view s) {
  SmsTimestamp t;
  int yy = 0;
  if (s.size() != 17 && s.size() != 20) return std::nullopt;
  if (!twoDigits(s, 0, yy) || s[2] != '/' || !twoDigits(s, 3, t.month) || s[5] != '/' || !twoDigits(s, 6, t.day) ||
      s[8] != ',' || !twoDigits(s, 9, t.hour) || s[11] != ':' || !twoDigits(s, 12, t.minute) || s[14] != ':' ||
      !twoDigits(s, 15, t.second)) {
    return std::nullopt;
  }
  t.year = 2000 + yy;
  if (s.size() == 20) {
    if ((s[17] != '+' && s[17] != '-') || !twoDigits(s, 18, t.zoneQuarters) || t.zoneQuarters > 48) return std::nullopt;
    if (s[17] == '-') t.zoneQuarters = -t.zoneQuarters;
  }
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > daysInMonth(t.year, t.month) || t.hour > 23 ||
      t.minute > 59 || t.second > 59) {
    return std::nullopt;
  }
  return t;
}

SmsTimestamp ModemClock::now() const {
  const std::time_t t = std::time(nullptr) + offsetSeconds_;
  std::tm local{};
  localtime_r(&t, &local);
  SmsTimestamp ts;
  ts.year = local.tm_year + 1900;
  ts.month = local.tm_mon + 1;
  ts.day = local.tm_mday;
  ts.hour = local.tm_hour;
  ts.minute = local.tm_min;
  ts.second = local.tm_sec;
  ts.zoneQuarters = zoneQuarters_.value_or(static_cast<int>(local.tm_gmtoff / 900));
  return ts;
}

bool ModemClock::set(std::string_view text) {
  auto t = parse(text);
  if (!t) return false;
  std::tm wanted{};
  wanted.tm_year = t->year - 1900;
  wanted.tm_mon = t->month - 1;
  wanted.tm_mday = t->day;
  wanted.tm_hour = t->hour;
  wanted.tm_min = t->minute;
  wanted.tm_sec = t->second;
  wanted.tm_isdst = -1;
  const std::time_t target = std::mktime(&wanted);
  offsetSeconds_ = static_cast<int64_t>(target) - static_cast<int64_t>(std::time(nullptr));
  if (text.size() == 20) zoneQuarters_ = t->zoneQuarters;
  return true;
}

}  // namespace fonexa::sim
