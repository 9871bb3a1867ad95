// A session on a scripted modem through the GenericPhone plug-in, initialised
// (open count 1), for test groups that share one (opening the port waits for a
// second of line silence). It returns once the session's event thread has
// announced itself, so that a trace opened afterwards holds the tests' lines only.
#pragma once

#include <gtest/gtest.h>

#include "ScriptedModem.h"
#include "TempDir.h"
#include "fonexa/CMxGsmBasics.h"
#include "platform/Tick.h"
#include "text/DebugLog.h"

namespace fonexa::testing {

struct ScriptedPhone {
  ScriptedPhone() {
    TempDir dir;
    OpenDebugLogs(dir.File("start.txt"));
    EXPECT_EQ(session.Create("GenericPhone@" + modem.Path()), 1);
    EXPECT_EQ(session.Initialize(), 1);
    bool started = false;
    for (int waited = 0; !started && waited < 5000; waited += 10) {
      started = ReadWholeFile(dir.File("start.txt")).find("==>Starting thread") != std::string::npos;
      if (!started) platform::SleepMs(10);
    }
    CloseDebugLogs();
    EXPECT_TRUE(started);
  }

  ScriptedModem modem;
  CMxGsmBasics session;
};

}  // namespace fonexa::testing
