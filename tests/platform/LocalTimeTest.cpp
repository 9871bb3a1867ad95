#include "platform/LocalTime.h"

#include <gtest/gtest.h>

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
