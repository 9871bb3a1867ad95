// Purging waits out real silences of a second and more.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "PortFixture.h"
#include "platform/Tick.h"

using fonexa::platform::SleepMs;
using fonexa::platform::TickCount;
using fonexa::testing::OpenPortTest;

using ComPortPurge = OpenPortTest;

TEST_F(ComPortPurge, QuietLineReturnsAfterASecondOfSilence) {
  peer.Write("leftover");
  const uint32_t start = TickCount();
  EXPECT_EQ(port.PurgePort(), 1);
  EXPECT_GE(TickCount() - start, 1000u);
  peer.Write("\r\nOK\r\n");
  EXPECT_EQ(port.ReadAnswerString(1000), "OK");
}

TEST_F(ComPortPurge, ChattyDeviceCannotHoldTheCallerForever) {
  std::atomic<bool> talking{true};
  std::thread device([&] {
    while (talking) {
      peer.Write("+CSQ: 17,99\r\n");
      SleepMs(100);
    }
  });
  EXPECT_EQ(port.PurgePort(), 1);  // returns although the device never fell silent
  talking = false;
  device.join();
}
