// Local calendar time, with daylight saving left to the system.
#pragma once

#include <cstdint>

namespace fonexa::platform {

// Calendar fields as the engine's records carry them.
struct SystemTime {
  uint16_t year = 0;
  uint16_t month = 0;      // 1..12
  uint16_t dayOfWeek = 0;  // 0 = Sunday
  uint16_t day = 0;
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t milliseconds = 0;
};

// Seconds since 1970 of a local calendar time; -1 when it cannot be represented.
int64_t MakeLocalTime(int year, int month, int day, int hour, int minute, int second);
// The same as MakeLocalTime for a valid calendar time, without mktime's cost:
// what time stamps of long listings are converted with.
int64_t LocalSecondsOf(int year, int month, int day, int hour, int minute, int second);
// The local calendar fields of seconds since 1970.
SystemTime LocalTimeOf(int64_t seconds);
// Now, in local calendar time.
SystemTime LocalNow();
int64_t NowSeconds();

// OLE automation dates: days since 1899-12-30, the fraction being the time of day.
double OleDateFromSystemTime(const SystemTime& time);
SystemTime SystemTimeFromOleDate(double date);

}  // namespace fonexa::platform
