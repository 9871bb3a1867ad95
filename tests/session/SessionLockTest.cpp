// Two dialogues never share the line: threads of one process, and processes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include "SessionFixture.h"

using fonexa::testing::LogCapture;
using fonexa::testing::ScriptedModem;
using fonexa::testing::SessionTest;

namespace {

constexpr int kRounds = 15;

// One locked dialogue: the lock, an exchange, the release.
bool LockedExchange(CMxGsmBasics& session, const char* owner) {
  if (!session.Attach(owner, 10000)) return false;
  const bool ok = session.SendTestCommand() == 1;
  session.Detach();
  return ok;
}

struct Interval {
  uint64_t from;
  uint64_t to;
};

bool Overlap(const std::vector<Interval>& a, const std::vector<Interval>& b) {
  for (const auto& x : a) {
    for (const auto& y : b) {
      if (x.from < y.to && y.from < x.to) return true;
    }
  }
  return false;
}

}  // namespace

TEST_F(SessionTest, TwoThreadsNeverInterleaveOnTheLine) {
  Start();
  modem.SetAnswerDelayMs(5);
  std::atomic<int> failures{0};
  auto worker = [&](const char* owner) {
    for (int i = 0; i < kRounds; ++i) {
      if (!LockedExchange(session, owner)) ++failures;
    }
  };
  std::thread a(worker, "thread A");
  std::thread b(worker, "thread B");
  a.join();
  b.join();
  EXPECT_EQ(failures.load(), 0);
  // Every command got its own whole answer: interleaved dialogues would have
  // read each other's answers or lost some.
  EXPECT_EQ(modem.Commands(), std::vector<std::string>(2 * kRounds, "AT"));
}

TEST_F(SessionTest, SecondOwnerTimesOutWhileTheFirstHoldsTheLock) {
  Start();
  LogCapture logs;
  ASSERT_EQ(session.Attach("first", 1000), 1);
  ASSERT_EQ(session.Attach("first again", 0), 1);  // the owner may take it again
  int result = -1;
  std::thread other([&] { result = session.Attach("second", 100); });
  other.join();
  EXPECT_EQ(result, 0);
  EXPECT_NE(logs.Trace().find("<--CMxGsmBasics::Attach[second]>>Mutex blocked by another thread\n"),
            std::string::npos);
  session.Detach();
  session.Detach();
  std::thread later([&] { result = session.Attach("second", 1000); session.Detach(); });
  later.join();
  EXPECT_EQ(result, 1);
}

TEST(SessionLockAcrossProcesses, DialoguesOfTwoProcessesNeverOverlap) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(fds[0]);
    int ok = 1;
    {
      ScriptedModem modem;
      modem.SetAnswerDelayMs(5);
      CMxGsmBasics session;
      ok = session.Create("GenericPhone@" + modem.Path()) && session.Initialize();
      for (int i = 0; ok && i < kRounds; ++i) ok = LockedExchange(session, "child");
      for (const auto& e : modem.Exchanges()) {
        Interval interval{e.receivedNs, e.answeredNs};
        if (e.command == "AT" && write(fds[1], &interval, sizeof interval) != sizeof interval) ok = 0;
      }
    }
    close(fds[1]);
    _exit(ok ? 0 : 1);
  }
  close(fds[1]);
  ScriptedModem modem;
  modem.SetAnswerDelayMs(5);
  CMxGsmBasics session;
  ASSERT_EQ(session.Create("GenericPhone@" + modem.Path()), 1);
  ASSERT_EQ(session.Initialize(), 1);
  for (int i = 0; i < kRounds; ++i) EXPECT_TRUE(LockedExchange(session, "parent"));
  std::vector<Interval> theirs;
  Interval interval{};
  while (read(fds[0], &interval, sizeof interval) == sizeof interval) theirs.push_back(interval);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::vector<Interval> ours;
  for (const auto& e : modem.Exchanges()) {
    if (e.command == "AT") ours.push_back({e.receivedNs, e.answeredNs});
  }
  EXPECT_EQ(ours.size(), static_cast<size_t>(kRounds));
  EXPECT_EQ(theirs.size(), static_cast<size_t>(kRounds));
  EXPECT_FALSE(Overlap(ours, theirs));
}
