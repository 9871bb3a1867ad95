#include "port/ByteBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

using fonexa::ByteBuffer;

TEST(ByteBuffer, GrowsInStepsKeepingOneByteSpare) {
  ByteBuffer buffer;
  EXPECT_EQ(buffer.Capacity(), 32u);
  const uint8_t bytes[40] = {1, 2, 3};
  ASSERT_TRUE(buffer.Append(bytes, 31));
  EXPECT_EQ(buffer.Capacity(), 32u);
  ASSERT_TRUE(buffer.Append(bytes, 1));  // 32 would leave no spare byte
  EXPECT_EQ(buffer.Capacity(), 64u);
  ASSERT_TRUE(buffer.Append(bytes, 40));  // grows by the larger of the count and the step
  EXPECT_EQ(buffer.Capacity(), 104u);
  EXPECT_EQ(buffer.Length(), 72u);
}

TEST(ByteBuffer, LimitRefusesGrowthBeyondIt) {
  ByteBuffer buffer(32, 32, 48);
  const uint8_t bytes[64] = {};
  ASSERT_TRUE(buffer.Append(bytes, 40));
  EXPECT_EQ(buffer.Capacity(), 48u);
  EXPECT_FALSE(buffer.Append(bytes, 10));
  EXPECT_EQ(buffer.Length(), 40u);
}

TEST(ByteBuffer, CopyIsNulTerminated) {
  ByteBuffer buffer;
  ASSERT_TRUE(buffer.Append(reinterpret_cast<const uint8_t*>("OK"), 2));
  uint8_t* copy = buffer.TakeCopy();
  EXPECT_EQ(std::memcmp(copy, "OK\0\0\0\0", 6), 0);
  delete[] copy;
}
