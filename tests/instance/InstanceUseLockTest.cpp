// The instance use lock's rules, with real threads.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "wrapper/InstanceUseLock.h"

using fonexa::InstanceUseLock;
using namespace std::chrono_literals;

namespace {

// Whether a call made on another thread is still blocked after a while.
template <class Call>
std::future<bool> OnOtherThread(Call call) {
  return std::async(std::launch::async, call);
}

bool StillBlocked(std::future<bool>& f) { return f.wait_for(200ms) == std::future_status::timeout; }

}  // namespace

TEST(InstanceUseLock, SharedUsersGoTogetherAndKeepExclusiveUseOut) {
  InstanceUseLock lock;
  ASSERT_TRUE(lock.LockShared(0));
  auto other = OnOtherThread([&] {
    const bool entered = lock.LockShared(0);
    if (entered) lock.UnlockShared();
    return entered;
  });
  EXPECT_TRUE(other.get());
  auto exclusive = OnOtherThread([&] {
    const bool taken = lock.LockExclusive();
    if (taken) lock.UnlockExclusive();
    return taken;
  });
  EXPECT_TRUE(StillBlocked(exclusive));
  lock.UnlockShared();
  EXPECT_TRUE(exclusive.get());
}

TEST(InstanceUseLock, AWaitingExclusiveRequestKeepsNewcomersOutButNotThoseInside) {
  InstanceUseLock lock;
  ASSERT_TRUE(lock.LockShared(0));
  auto exclusive = OnOtherThread([&] {
    const bool taken = lock.LockExclusive();
    if (taken) lock.UnlockExclusive();
    return taken;
  });
  ASSERT_TRUE(StillBlocked(exclusive));
  // A handler on the thread inside calls another export: it enters at once.
  EXPECT_TRUE(lock.LockShared(0));
  lock.UnlockShared();
  auto newcomer = OnOtherThread([&] { return lock.LockShared(50); });
  EXPECT_FALSE(newcomer.get());
  lock.UnlockShared();
  EXPECT_TRUE(exclusive.get());
}

TEST(InstanceUseLock, ExclusiveOwnerEntersAgainInEitherWay) {
  InstanceUseLock lock;
  ASSERT_TRUE(lock.LockExclusive());
  EXPECT_TRUE(lock.LockExclusive());  // SwitchOn runs Initialize
  EXPECT_TRUE(lock.LockShared(0));    // an event handler calls an export
  EXPECT_TRUE(lock.IsHeldByThisThread());
  lock.UnlockShared();
  lock.UnlockExclusive();
  auto other = OnOtherThread([&] { return lock.LockShared(50); });
  EXPECT_FALSE(other.get());  // still held once
  lock.UnlockExclusive();
  EXPECT_FALSE(lock.IsHeldByThisThread());
}

TEST(InstanceUseLock, ASharedUserUpgradesOnceTheOthersLeaveAndASecondUpgraderIsRefused) {
  InstanceUseLock lock;
  ASSERT_TRUE(lock.LockShared(0));
  std::promise<void> inside;
  auto other = OnOtherThread([&] {
    lock.LockShared(0);
    inside.set_value();
    const bool upgraded = lock.LockExclusive();  // the monitor switching the module off
    if (upgraded) lock.UnlockExclusive();
    lock.UnlockShared();
    return upgraded;
  });
  inside.get_future().wait();
  ASSERT_TRUE(StillBlocked(other));  // waits for this thread to leave
  // Both hold shared use and want exclusive use: waiting would deadlock.
  EXPECT_FALSE(lock.LockExclusive());
  lock.UnlockShared();
  EXPECT_TRUE(other.get());
}

TEST(InstanceUseLock, ClosingRefusesWaitersAndNewcomersButTheReleaseGetsIn) {
  InstanceUseLock lock;
  ASSERT_TRUE(lock.LockShared(0));
  auto waiter = OnOtherThread([&] { return lock.LockExclusive(); });
  ASSERT_TRUE(StillBlocked(waiter));
  auto release = OnOtherThread([&] {
    lock.Close();
    lock.LockForRelease();
    return true;
  });
  EXPECT_FALSE(waiter.get());  // re-initialisation after a release began
  EXPECT_TRUE(lock.LockShared(0));  // the thread inside may still enter
  lock.UnlockShared();
  auto newcomer = OnOtherThread([&] { return lock.LockShared(InstanceUseLock::kNoLimit); });
  EXPECT_FALSE(newcomer.get());
  EXPECT_TRUE(StillBlocked(release));  // waits for the user inside
  lock.UnlockShared();
  EXPECT_TRUE(release.get());
}
