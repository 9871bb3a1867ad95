// A GPRS connection object dialling through the scripted pppd stand-in, with
// the sound-player stand-in recording what it plays, in a fresh folder per test.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TempDir.h"
#include "fonexa/FonexaCore.h"
#include "text/DebugLog.h"

namespace fonexa::testing {

// The pppd lines of a dial that gets through: the options in effect (with
// the line speed), the connect script done, the interface, the link, PAP, and
// the addresses.
inline const std::vector<std::string> kConnectingLog = {
    "say pppd options in effect:",
    "say 115200\\t\\t# (from /etc/ppp/peers/gprs)",
    "sleep 20",
    "say Script /usr/sbin/chat -v -f /etc/ppp/chat-gprs finished (pid 4242), status = 0x0",
    "say Serial connection established.",
    "say Using interface ppp0",
    "say Connect: ppp0 <--> /dev/ttyUSB0",
    "sleep 20",
    "say PAP authentication succeeded",
    "say local  IP address 10.64.12.7",
    "say remote IP address 10.64.64.64",
};

// Progress codes and windows' messages as they arrive, with a wait for the
// ones a test expects.
class ProgressLog : public IMxConnectionHandler {
 public:
  struct Notice {
    uint32_t code;
    uint32_t error;
  };
  void OnConnectionProgress(uint32_t code, uint32_t error) override { Add(code, error); }

  // A window procedure that records message 1297 into the log given as context.
  static intptr_t WindowProcedure(MxWindow, uint32_t message, uintptr_t wParam, intptr_t lParam, void* context) {
    if (message == FONEXA_EVENT_MESSAGE) {
      static_cast<ProgressLog*>(context)->Add(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
    }
    return 0;
  }

  // Notifies under the lock: a test that saw the code it waited for may end,
  // and destroy this log, as soon as the lock is free.
  void Add(uint32_t code, uint32_t error) {
    std::lock_guard<std::mutex> lock(mutex_);
    notices_.push_back({code, error});
    changed_.notify_all();
  }
  bool WaitForCode(uint32_t code, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
      for (const auto& n : notices_) {
        if (n.code == code) return true;
      }
      return false;
    });
  }
  std::vector<uint32_t> Codes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<uint32_t> codes;
    for (const auto& n : notices_) codes.push_back(n.code);
    return codes;
  }
  std::vector<Notice> Notices() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return notices_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Notice> notices_;
};

class GprsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("FONEXA_PPPD", FAKE_PPPD_PATH, 1);
    setenv("FONEXA_SOUND_PLAYER", FAKE_PLAYER_PATH, 1);
    setenv("FAKE_PPPD_SCRIPT", dir_.File("script").c_str(), 1);
    setenv("FAKE_PPPD_RECORD", dir_.File("pppd-record").c_str(), 1);
    setenv("FAKE_PLAYER_RECORD", dir_.File("played").c_str(), 1);
    std::ofstream(dir_.File("up.wav")) << "RIFF";
    std::ofstream(dir_.File("down.wav")) << "RIFF";
    OpenDebugLogs(dir_.File("trace.txt"));
    c_ = GprsCreate();
    ASSERT_NE(c_, nullptr);
    GprsSetConnectionTones(c_, ConnectSound().c_str(), DisconnectSound().c_str());
  }
  void TearDown() override {
    GprsRelease(c_);
    CloseDebugLogs();
  }

  void Script(const std::vector<std::string>& steps) {
    std::ofstream out(dir_.File("script"));
    for (const auto& s : steps) out << s << "\n";
  }
  // kConnectingLog and then the extra steps.
  void ScriptConnecting(const std::vector<std::string>& after) {
    std::vector<std::string> steps = kConnectingLog;
    steps.insert(steps.end(), after.begin(), after.end());
    Script(steps);
  }

  std::string ConnectSound() const { return dir_.File("up.wav"); }
  std::string DisconnectSound() const { return dir_.File("down.wav"); }
  std::string Trace() const { return ReadWholeFile(dir_.File("trace.txt")); }
  std::string PppdRecord() const { return ReadWholeFile(dir_.File("pppd-record")); }
  std::string Played() const { return ReadWholeFile(dir_.File("played")); }

  // The stand-in's records of one kind ("pid", "arg", "option", "mode").
  std::vector<std::string> Recorded(const std::string& kind) const {
    std::vector<std::string> values;
    std::istringstream in(PppdRecord());
    for (std::string line; std::getline(in, line);) {
      if (line.rfind(kind + " ", 0) == 0) values.push_back(line.substr(kind.size() + 1));
    }
    return values;
  }
  pid_t LastPppdPid() const {
    const auto pids = Recorded("pid");
    return pids.empty() ? -1 : static_cast<pid_t>(std::stol(pids.back()));
  }
  static bool ProcessExists(pid_t pid) { return pid > 0 && kill(pid, 0) == 0; }

  // Waits until the sound stand-in has recorded count plays.
  bool WaitForPlays(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      const std::string played = Played();
      size_t lines = 0;
      for (char ch : played) lines += ch == '\n';
      if (lines >= count) return true;
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  TempDir dir_;
  MxConnectionHandle c_ = nullptr;
};

}  // namespace fonexa::testing
