#include "platform/NamedMutex.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/Tick.h"

using fonexa::platform::NamedMutex;

namespace {

// Each test gets a mutex name of its own so that tests never contend.
std::string UniqueName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string("mutex-test-") + info->name() + "-" + std::to_string(getpid());
}

// A child process that takes the mutex, reports on a pipe, then either holds it
// for holdMs and releases it, or dies holding it.
pid_t StartHolder(const std::string& name, int holdMs, bool dieHolding, int& readyFd) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    NamedMutex mutex;
    if (!mutex.Create(name) || mutex.Wait(NamedMutex::kInfinite) != NamedMutex::WaitResult::Acquired) _exit(2);
    const char ok = 'k';
    if (write(fds[1], &ok, 1) != 1) _exit(3);
    if (dieHolding) _exit(0);  // ends without releasing
    fonexa::platform::SleepMs(static_cast<uint32_t>(holdMs));
    mutex.Release();
    _exit(0);
  }
  close(fds[1]);
  readyFd = fds[0];
  return pid;
}

bool WaitReady(int fd) {
  char c;
  const bool ok = read(fd, &c, 1) == 1;
  close(fd);
  return ok;
}

void Reap(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
}

}  // namespace

TEST(NamedMutex, IsRecursiveForItsOwner) {
  NamedMutex mutex;
  ASSERT_TRUE(mutex.Create(UniqueName()));
  EXPECT_EQ(mutex.Wait(0), NamedMutex::WaitResult::Acquired);
  EXPECT_EQ(mutex.Wait(0), NamedMutex::WaitResult::Acquired);
  EXPECT_TRUE(mutex.Release());
  EXPECT_TRUE(mutex.Release());
  EXPECT_FALSE(mutex.Release());  // no longer owned
}

TEST(NamedMutex, ReleaseByAThreadThatDoesNotHoldItIsRefusedAndLeavesItHeld) {
  const std::string name = UniqueName();
  NamedMutex mutex;
  ASSERT_TRUE(mutex.Create(name));
  EXPECT_FALSE(mutex.Release());  // never taken
  ASSERT_EQ(mutex.Wait(0), NamedMutex::WaitResult::Acquired);
  bool releasedByStranger = true;
  NamedMutex::WaitResult strangerWait{};
  std::thread stranger([&] {
    releasedByStranger = mutex.Release();
    NamedMutex theirs;
    if (theirs.Create(name)) strangerWait = theirs.Wait(50);
  });
  stranger.join();
  EXPECT_FALSE(releasedByStranger);
  EXPECT_EQ(strangerWait, NamedMutex::WaitResult::TimedOut);  // still the owner's
  EXPECT_TRUE(mutex.Release());
}

TEST(NamedMutex, OtherThreadTimesOutWhileHeldAndGetsItAfterRelease) {
  const std::string name = UniqueName();
  NamedMutex mine;
  ASSERT_TRUE(mine.Create(name));
  ASSERT_EQ(mine.Wait(0), NamedMutex::WaitResult::Acquired);
  NamedMutex::WaitResult whileHeld{}, afterRelease{};
  std::atomic<bool> timedOut{false};
  std::thread other([&] {
    NamedMutex theirs;
    ASSERT_TRUE(theirs.Create(name));
    whileHeld = theirs.Wait(50);
    timedOut = true;
    afterRelease = theirs.Wait(5000);
    theirs.Release();
  });
  while (!timedOut) fonexa::platform::SleepMs(5);
  mine.Release();
  other.join();
  EXPECT_EQ(whileHeld, NamedMutex::WaitResult::TimedOut);
  EXPECT_EQ(afterRelease, NamedMutex::WaitResult::Acquired);
}

TEST(NamedMutex, TwoProcessesContend) {
  const std::string name = UniqueName();
  int readyFd = -1;
  const pid_t child = StartHolder(name, 400, false, readyFd);
  ASSERT_GT(child, 0);
  ASSERT_TRUE(WaitReady(readyFd));
  NamedMutex mutex;
  ASSERT_TRUE(mutex.Create(name));
  EXPECT_EQ(mutex.Wait(20), NamedMutex::WaitResult::TimedOut);
  EXPECT_EQ(mutex.Wait(10000), NamedMutex::WaitResult::Acquired);
  mutex.Release();
  Reap(child);
}

TEST(NamedMutex, OwnerThatDiedLeavesItAbandonedAndAcquirable) {
  const std::string name = UniqueName();
  int readyFd = -1;
  const pid_t child = StartHolder(name, 0, true, readyFd);
  ASSERT_GT(child, 0);
  ASSERT_TRUE(WaitReady(readyFd));
  Reap(child);
  NamedMutex mutex;
  ASSERT_TRUE(mutex.Create(name));
  EXPECT_EQ(mutex.Wait(1000), NamedMutex::WaitResult::Abandoned);
  EXPECT_TRUE(mutex.Release());
  // Once taken over it is an ordinary mutex again.
  EXPECT_EQ(mutex.Wait(0), NamedMutex::WaitResult::Acquired);
  mutex.Release();
}

TEST(NamedMutex, NamesCarryUserAndNamespace) {
  const char* saved = getenv("FONEXA_MUTEX_NAMESPACE");
  const std::string keep = saved ? saved : "";
  setenv("FONEXA_MUTEX_NAMESPACE", "suite A", 1);
  const std::string a = NamedMutex::ObjectName("GSM");
  setenv("FONEXA_MUTEX_NAMESPACE", "suite-B", 1);
  const std::string b = NamedMutex::ObjectName("GSM");
  unsetenv("FONEXA_MUTEX_NAMESPACE");
  const std::string plain = NamedMutex::ObjectName("GSM");
  if (saved) setenv("FONEXA_MUTEX_NAMESPACE", keep.c_str(), 1);
  EXPECT_NE(a, b);
  EXPECT_EQ(plain, "/fonexa." + std::to_string(getuid()) + ".GSM");
  EXPECT_EQ(a.find(' '), std::string::npos);  // a valid shared-memory name
  EXPECT_EQ(a.rfind('/'), 0u);
}

TEST(NamedMutex, WaitWithoutCreateFails) {
  NamedMutex mutex;
  EXPECT_EQ(mutex.Wait(0), NamedMutex::WaitResult::Failed);
  EXPECT_FALSE(mutex.Release());
}
