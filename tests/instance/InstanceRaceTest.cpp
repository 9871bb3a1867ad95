// Threads that release, re-initialise and poll one instance at the same time,
// on the virtual modem. Races show as a crash, a sanitizer report, a refused
// export or a line out of step, so each case repeats what it races.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "InstanceFixture.h"
#include "fonexa/IMxGsmHandler.h"

using fonexa::sim::Direction;
using fonexa::sim::TranscriptEntry;
using fonexa::testing::InstanceTest;
using namespace std::chrono_literals;

namespace {

class InstanceRaces : public InstanceTest {};

// Lets two threads leave a barrier as close together as the scheduler allows.
class StartLine {
 public:
  explicit StartLine(int runners) : waiting_(runners) {}
  void Arrive() {
    waiting_.fetch_sub(1);
    while (waiting_.load() > 0) {
    }
  }

 private:
  std::atomic<int> waiting_;
};

// Whether a plug-in library is still mapped into this process.
bool IsMapped(const std::string& library) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.find(library) != std::string::npos) return true;
  }
  return false;
}

template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// The first place where the host wrote a command before the previous one had
// its final result, or wrote a line that is not a whole command; empty when
// every exchange on the line stood alone.
std::string FirstInterleavedExchange(const std::vector<TranscriptEntry>& entries) {
  bool awaitingAnswer = false;
  std::string pending;  // the command written last
  std::string answer;   // what the modem said since
  for (const TranscriptEntry& entry : entries) {
    if (entry.direction == Direction::Out) {
      answer += entry.bytes;
      if (answer.find("OK\r\n") != std::string::npos || answer.find("ERROR") != std::string::npos) {
        awaitingAnswer = false;
      }
      continue;
    }
    if (entry.direction != Direction::In) continue;
    if (awaitingAnswer) return "\"" + entry.bytes + "\" written while \"" + pending + "\" was unanswered";
    pending += entry.bytes;
    for (size_t end = pending.find('\r'); end != std::string::npos; end = pending.find('\r')) {
      const std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (line.rfind("AT", 0) != 0) return "malformed line \"" + line + "\"";
      if (!pending.empty()) return "two commands in one write: \"" + line + "\" and \"" + pending + "\"";
      awaitingAnswer = true;
      pending = line;
      answer.clear();
    }
    if (awaitingAnswer) continue;
    pending.clear();
  }
  return "";
}

// Releases the instance from inside the event it was given, once.
class ReleasingHandler : public IMxGsmHandler {
 public:
  explicit ReleasingHandler(MxGsmHandle h) : h_(h) {}
  int OnEvent(uint32_t, const std::string&, uint32_t) override {
    if (called_.exchange(true)) return 1;
    const int result = ReleaseGsm(h_);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      result_ = result;
      thread_ = std::this_thread::get_id();
    }
    done_.notify_all();
    return 1;
  }
  bool WaitCalled(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return done_.wait_for(lock, timeout, [&] { return result_ != -1; });
  }
  int Result() {
    std::lock_guard<std::mutex> lock(mutex_);
    return result_;
  }
  std::thread::id Thread() {
    std::lock_guard<std::mutex> lock(mutex_);
    return thread_;
  }

 private:
  MxGsmHandle h_;
  std::atomic<bool> called_{false};
  std::mutex mutex_;
  std::condition_variable done_;
  int result_ = -1;
  std::thread::id thread_;
};

}  // namespace

TEST_F(InstanceRaces, TwoThreadsReleasingAtOnceDestroyTheInstanceOnce) {
  // Both releases look at the stop event for 100 ms before either sets it, so
  // they collide only when they wake within microseconds of each other: many
  // rounds on instances without a session (cheap to make) catch that.
  constexpr int kRounds = 200;
  int collisions = 0;
  for (int round = 0; round < kRounds; ++round) {
    MxGsmHandle instance = CreateGsmInstance();
    ASSERT_NE(instance, nullptr);
    StartLine start(2);
    int first = -1, second = -1;
    std::thread other([&] {
      start.Arrive();
      second = ReleaseGsm(instance);
    });
    start.Arrive();
    first = ReleaseGsm(instance);
    other.join();
    // One release did the work; the other learnt that it was under way.
    if ((first != 0) + (second != 0) != 1) ++collisions;
  }
  EXPECT_EQ(collisions, 0);
}

TEST_F(InstanceRaces, InitializeWhileAnotherThreadPollsKeepsTheLineInStepAndTheInstanceAnswering) {
  StartModem();
  h = CreateGsmInstance();
  ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
  modem->setSignal(23);
  std::atomic<bool> stop{false};
  std::atomic<int> answered{0};
  std::thread poller([&] {
    while (!stop.load()) {
      int rssi = -1, ber = -1;
      // Refusals while the instance is being brought up again are expected:
      // they send nothing. What must not happen is an answer read wrong.
      if (GetSignalQuality(h, &rssi, &ber)) {
        EXPECT_EQ(rssi, 23);
        answered.fetch_add(1);
      } else {
        std::this_thread::sleep_for(1ms);
      }
    }
  });
  constexpr int kRounds = 6;
  for (int round = 0; round < kRounds; ++round) {
    EXPECT_EQ(Initialize(h, Spec().c_str()), 1) << "round " << round;
    // Give the poller a turn on the line between two initialisations.
    const int before = answered.load();
    EXPECT_TRUE(WaitUntil([&] { return answered.load() > before; }, 15s)) << "round " << round;
  }
  stop = true;
  poller.join();
  int rssi = -1, ber = -1;
  EXPECT_EQ(GetSignalQuality(h, &rssi, &ber), 1);
  EXPECT_EQ(rssi, 23);
  char text[FONEXA_IDENTITY_SIZE];
  EXPECT_EQ(GetManufacturer(h, text), 1);
  EXPECT_EQ(GetState(h, 4), 1);
  EXPECT_EQ(FirstInterleavedExchange(modem->transcript().entries()), "");
}

TEST_F(InstanceRaces, SwitchOnAndOffWhileAnotherThreadPollsKeepsTheLineInStep) {
  StartModem();
  h = CreateGsmInstance();
  ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
  std::atomic<bool> stop{false};
  std::thread poller([&] {
    char text[FONEXA_IDENTITY_SIZE];
    while (!stop.load()) {
      if (!GetModel(h, text)) std::this_thread::sleep_for(1ms);
    }
  });
  for (int round = 0; round < 4; ++round) {
    EXPECT_EQ(SwitchOff(h), 1) << "round " << round;
    EXPECT_EQ(SwitchOn(h), 1) << "round " << round;
  }
  stop = true;
  poller.join();
  char text[FONEXA_IDENTITY_SIZE];
  EXPECT_EQ(GetModel(h, text), 1);
  EXPECT_EQ(FirstInterleavedExchange(modem->transcript().entries()), "");
}

TEST_F(InstanceRaces, ReleaseFromAHandlerOnTheMonitorThreadTearsDownAfterTheHandler) {
  StartModem();
  h = CreateGsmInstance();
  ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
  ASSERT_TRUE(IsMapped("GenericPhone"));
  ReleasingHandler handler(h);
  RegisterEventHandler(h, 0x80, &handler);  // raised by the monitor's next poll
  ASSERT_TRUE(handler.WaitCalled(20s));
  EXPECT_NE(handler.Result(), 0);
  EXPECT_NE(handler.Thread(), std::this_thread::get_id());
  h = nullptr;  // released
  // The instance goes once the monitor has left it: its plug-in is unloaded
  // and the port closed, so that a new instance can take the line.
  EXPECT_TRUE(WaitUntil([] { return !IsMapped("GenericPhone"); }, 20s));
  EXPECT_EQ(ReleaseGsm(nullptr), 0);  // still under way or done
  h = CreateGsmInstance();
  ASSERT_EQ(Initialize(h, Spec().c_str()), 1);
  char text[FONEXA_IDENTITY_SIZE];
  EXPECT_EQ(GetManufacturer(h, text), 1);
}

TEST_F(InstanceRaces, ReleaseFromAHandlerInsideAnExportWaitsForTheExportToEnd) {
  StartModem();
  h = CreateGsmInstance();
  ReleasingHandler handler(h);
  // Initialize raises the module-state event on the calling thread, inside
  // the export; the handler releases the instance from there.
  RegisterEventHandler(h, 0x200, &handler);
  Initialize(h, Spec().c_str());
  ASSERT_TRUE(handler.WaitCalled(1s));
  EXPECT_NE(handler.Result(), 0);
  EXPECT_EQ(handler.Thread(), std::this_thread::get_id());
  h = nullptr;
  EXPECT_TRUE(WaitUntil([] { return !IsMapped("GenericPhone"); }, 20s));
}
