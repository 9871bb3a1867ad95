#include "platform/LocalTime.h"

#include <sys/time.h>
#include <time.h>

#include <cmath>

namespace fonexa::platform {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, unsigned& m, unsigned& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}

constexpr int64_t kOleEpochDays = -25569;  // 1899-12-30 counted from 1970-01-01

}  // namespace

int64_t MakeLocalTime(int year, int month, int day, int hour, int minute, int second) {
  tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  const time_t result = mktime(&t);
  return result == static_cast<time_t>(-1) ? -1 : static_cast<int64_t>(result);
}

SystemTime LocalTimeOf(int64_t seconds) {
  const time_t value = static_cast<time_t>(seconds);
  tm t{};
  SystemTime out;
  if (!localtime_r(&value, &t)) return out;
  out.year = static_cast<uint16_t>(t.tm_year + 1900);
  out.month = static_cast<uint16_t>(t.tm_mon + 1);
  out.dayOfWeek = static_cast<uint16_t>(t.tm_wday);
  out.day = static_cast<uint16_t>(t.tm_mday);
  out.hour = static_cast<uint16_t>(t.tm_hour);
  out.minute = static_cast<uint16_t>(t.tm_min);
  out.second = static_cast<uint16_t>(t.tm_sec);
  return out;
}

// glibc's mktime re-reads the zone file on every call, microseconds per
// message of a listing, so the answer is found with localtime, which does not.
// The fields read as UTC, less the local offset of a day before, are the answer
// unless the offset changed in between; then the offset of a day after is. In
// the hour a switch to winter time repeats, the first (summer) reading wins; a
// time in the hour a switch to summer time skips lands an hour later, as
// mktime puts it.
int64_t LocalSecondsOf(int year, int month, int day, int hour, int minute, int second) {
  const auto secondsOfFields = [](int64_t y, unsigned m, unsigned d, int h, int mi, int s) {
    return DaysFromCivil(y, m, d) * 86400 + h * 3600 + mi * 60 + s;
  };
  const int64_t asUtc = secondsOfFields(year, static_cast<unsigned>(month), static_cast<unsigned>(day), hour, minute,
                                        second);
  const auto offsetAt = [&](int64_t t) {
    const SystemTime l = LocalTimeOf(t);
    return secondsOfFields(l.year, l.month, l.day, l.hour, l.minute, l.second) - t;
  };
  const int64_t before = asUtc - offsetAt(asUtc - 86400);
  const int64_t after = asUtc - offsetAt(asUtc + 86400);
  if (before == after) return before;
  const auto reads = [&](int64_t t) { return t + offsetAt(t) == asUtc; };
  if (reads(before) || !reads(after)) return before;
  return after;
}

SystemTime LocalNow() {
  timeval now{};
  gettimeofday(&now, nullptr);
  SystemTime out = LocalTimeOf(now.tv_sec);
  out.milliseconds = static_cast<uint16_t>(now.tv_usec / 1000);
  return out;
}

int64_t NowSeconds() { return static_cast<int64_t>(time(nullptr)); }

double OleDateFromSystemTime(const SystemTime& time) {
  const int64_t days = DaysFromCivil(time.year, time.month, time.day) - kOleEpochDays;
  const double fraction =
      (time.hour * 3600.0 + time.minute * 60.0 + time.second + time.milliseconds / 1000.0) / 86400.0;
  // Before the epoch the OLE date counts whole days down and the time of day up.
  return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

SystemTime SystemTimeFromOleDate(double date) {
  double whole = std::trunc(date);
  double fraction = std::fabs(date - whole);
  int64_t msOfDay = static_cast<int64_t>(std::llround(fraction * 86400000.0));
  if (msOfDay >= 86400000) {
    msOfDay -= 86400000;
    whole += date >= 0 ? 1 : -1;
  }
  const int64_t days = static_cast<int64_t>(whole) + kOleEpochDays;
  SystemTime out;
  int y;
  unsigned m, d;
  CivilFromDays(days, y, m, d);
  out.year = static_cast<uint16_t>(y);
  out.month = static_cast<uint16_t>(m);
  out.day = static_cast<uint16_t>(d);
  out.dayOfWeek = static_cast<uint16_t>(((days % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday
  out.hour = static_cast<uint16_t>(msOfDay / 3600000);
  out.minute = static_cast<uint16_t>(msOfDay / 60000 % 60);
  out.second = static_cast<uint16_t>(msOfDay / 1000 % 60);
  out.milliseconds = static_cast<uint16_t>(msOfDay % 1000);
  return out;
}

}  // namespace fonexa::platform
