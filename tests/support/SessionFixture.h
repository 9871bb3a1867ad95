// A session on a scripted modem through a real plug-in loaded by name.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptedModem.h"
#include "TempDir.h"
#include "fonexa/CMxGsmBasics.h"
#include "platform/Tick.h"
#include "text/DebugLog.h"

namespace fonexa::testing {

// Records every event it is given.
class RecordingHandler : public IMxGsmHandler {
 public:
  struct Event {
    uint32_t id;
    std::string text;
    uint32_t value;
  };
  int OnEvent(uint32_t id, const std::string& text, uint32_t value) override {
    events.push_back({id, text, value});
    return 1;
  }
  std::vector<Event> events;
};

// Opens the trace and traffic logs in a temporary folder for one test.
class LogCapture {
 public:
  LogCapture() { OpenDebugLogs(dir_.File("trace.txt")); }
  ~LogCapture() { CloseDebugLogs(); }
  std::string Trace() const { return ReadWholeFile(dir_.File("trace.txt")); }
  std::string Traffic() const { return ReadWholeFile(dir_.File("com.txt")); }
  const TempDir& Dir() const { return dir_; }
  // Waits until the trace log holds text; false when it does not within timeoutMs.
  bool WaitForTrace(const std::string& text, uint32_t timeoutMs) const {
    for (uint32_t waited = 0; waited < timeoutMs; waited += 10) {
      if (Trace().find(text) != std::string::npos) return true;
      platform::SleepMs(10);
    }
    return false;
  }

 private:
  TempDir dir_;
};

class SessionTest : public ::testing::Test {
 protected:
  // Creates and initialises the session on the given plug-in.
  void Start(const std::string& plugin = "GenericPhone") {
    ASSERT_EQ(session.Create(plugin + "@" + modem.Path()), 1);
    ASSERT_EQ(session.Initialize(), 1);
    ASSERT_TRUE(modem.WaitForCommands(2, 5000));  // ATE0, AT+CMEE=2
    modem.ClearCommands();
  }

  // Starts the session with the logs open and waits until its event thread has
  // announced itself, so that what follows in the trace is the test's alone.
  // Returns the trace's length at that point.
  size_t StartLogged(const LogCapture& logs, const std::string& plugin = "GenericPhone") {
    Start(plugin);
    EXPECT_TRUE(logs.WaitForTrace("==>Starting thread[_MxGsmBasicsEventThreadHandler]", 5000));
    return logs.Trace().size();
  }

  ScriptedModem modem;
  CMxGsmBasics session;
};

}  // namespace fonexa::testing
