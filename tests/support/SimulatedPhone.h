// A virtual phone on a pty and a session on it through a real plug-in. Opening
// the port waits for a second of line silence, so test groups make one and
// share it (SetUpTestSuite). Header only: tests that use it link fonexa_sim.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "fonexa/CMxGsmBasics.h"
#include "sim/VirtualModem.h"

namespace fonexa::testing {

class SimulatedPhone {
 public:
  explicit SimulatedPhone(const std::string& plugin, const std::string& profile = "generic",
                          int bytesPerSecond = 0) {
    sim::ModemOptions options;
    options.profile = profile;
    options.bytesPerSecond = bytesPerSecond;
    options.registrationDelay = std::chrono::milliseconds(0);
    modem = std::make_unique<sim::VirtualModem>(options);
    std::string error;
    EXPECT_TRUE(modem->start(&error)) << error;
    // No band scan to wait for when listing the networks in reach.
    modem->update([](sim::ModemContext& ctx) { ctx.networkScanTime = std::chrono::milliseconds(0); });
    EXPECT_EQ(session.Create(plugin + "@" + modem->devicePath()), 1);
    EXPECT_EQ(session.Initialize(), 1);
  }

  // Marks the phone's input so far; ReceivedSince gives what came after.
  size_t Mark() const { return modem->transcript().size(sim::Direction::In); }
  std::string ReceivedSince(size_t mark) const {
    return modem->transcript().text(sim::Direction::In).substr(mark);
  }

  std::unique_ptr<sim::VirtualModem> modem;
  CMxGsmBasics session;
};

}  // namespace fonexa::testing
