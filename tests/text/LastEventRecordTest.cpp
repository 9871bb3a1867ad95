#include "session/LastEventRecord.h"

#include <gtest/gtest.h>

#include <cstring>

using fonexa::LastEventRecord;

TEST(LastEventRecord, CopiesTextWithItsNulAndTheValue) {
  LastEventRecord::Store("+420777123456#Hello", 1700000000u);
  char text[LastEventRecord::kTextSize];
  uint32_t value = 0;
  EXPECT_EQ(LastEventRecord::CopyOut(text, &value), 20);
  EXPECT_STREQ(text, "+420777123456#Hello");
  EXPECT_EQ(value, 1700000000u);
}

TEST(LastEventRecord, EmptyTextCopiesASingleNul) {
  LastEventRecord::Store("", 1);
  char text[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(LastEventRecord::CopyOut(text, nullptr), 1);
  EXPECT_EQ(text[0], '\0');
  EXPECT_EQ(text[1], 'x');
}

TEST(LastEventRecord, LongTextIsCutTo499Characters) {
  LastEventRecord::Store(std::string(800, 'm'), 7);
  char text[LastEventRecord::kTextSize + 16];
  std::memset(text, '#', sizeof text);
  EXPECT_EQ(LastEventRecord::CopyOut(text, nullptr), 500);
  EXPECT_EQ(std::strlen(text), 499u);
  EXPECT_EQ(text[500], '#');  // nothing written past the record's size
  EXPECT_STREQ(LastEventRecord::TextAddress(), text);
}
