#include <gtest/gtest.h>

#include <atomic>

#include "platform/ManualResetEvent.h"
#include "platform/Tick.h"
#include "platform/WorkerThread.h"

using namespace fonexa::platform;

TEST(TickCount, AdvancesWithSleep) {
  const uint32_t before = TickCount();
  SleepMs(30);
  EXPECT_GE(TickCount() - before, 30u);
}

TEST(ManualResetEvent, StaysSetUntilReset) {
  ManualResetEvent event;
  EXPECT_FALSE(event.Wait(0));
  EXPECT_FALSE(event.Wait(20));
  event.Set();
  EXPECT_TRUE(event.Wait(0));
  EXPECT_TRUE(event.Wait(0));  // manual reset: a wait does not consume it
  event.Reset();
  EXPECT_FALSE(event.IsSet());
}

TEST(ManualResetEvent, WakesEveryWaiter) {
  ManualResetEvent event;
  std::atomic<int> woken{0};
  WorkerThread a, b;
  a.Start([&] { if (event.Wait(ManualResetEvent::kInfinite)) ++woken; });
  b.Start([&] { if (event.Wait(ManualResetEvent::kInfinite)) ++woken; });
  event.Set();
  a.WaitUntilFinished();
  b.WaitUntilFinished();
  EXPECT_EQ(woken.load(), 2);
}

TEST(WorkerThread, ReportsRunningUntilTheBodyReturns) {
  ManualResetEvent release;
  WorkerThread thread;
  EXPECT_FALSE(thread.IsRunning());
  ASSERT_TRUE(thread.Start([&] { release.Wait(ManualResetEvent::kInfinite); }));
  EXPECT_TRUE(thread.IsRunning());
  EXPECT_FALSE(thread.Start([] {}));  // one body at a time
  release.Set();
  thread.WaitUntilFinished();
  EXPECT_FALSE(thread.IsRunning());
}

TEST(WorkerThread, WaitingWithoutAThreadReturnsAtOnce) {
  WorkerThread thread;
  thread.WaitUntilFinished();
  EXPECT_FALSE(thread.IsStarted());
}
