// An instance made through the exported functions, on the virtual modem.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fonexa/FonexaCore.h"
#include "sim/VirtualModem.h"

namespace fonexa::testing {

// Collects what a window receives.
struct WindowInbox {
  struct Message {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
  };
  std::vector<Message> messages;

  static intptr_t Procedure(MxWindow, uint32_t message, uintptr_t wParam, intptr_t lParam, void* context) {
    static_cast<WindowInbox*>(context)->messages.push_back({message, wParam, lParam});
    return 1;
  }
};

class InstanceTest : public ::testing::Test {
 protected:
  void StartModem(sim::ModemOptions options = {}) {
    modem = std::make_unique<sim::VirtualModem>(std::move(options));
    std::string error;
    ASSERT_TRUE(modem->start(&error)) << error;
  }
  std::string Spec(const std::string& plugin = "GenericPhone") const { return plugin + "@" + modem->devicePath(); }
  size_t Received() const { return modem->transcript().size(sim::Direction::In); }

  void TearDown() override {
    if (h) ReleaseGsm(h);
  }

  std::unique_ptr<sim::VirtualModem> modem;
  MxGsmHandle h = nullptr;
};

}  // namespace fonexa::testing
