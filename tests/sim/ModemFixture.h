#pragma once
// One virtual modem per test and a terminal on its pty, with echo switched
// off the way the SDK's core starts a session.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "PtyClient.h"
#include "sim/VirtualModem.h"

namespace fonexa::sim::test {

class ModemTest : public ::testing::Test {
 protected:
  // Registration follows the SIM at once unless a test asks for a delay.
  static ModemOptions quickOptions(const std::string& profile = "generic");

  void start(ModemOptions options = quickOptions());
  void TearDown() override;

  VirtualModem& modem() { return *modem_; }
  PtyClient& client() { return *client_; }
  std::string at(const std::string& line) { return client_->command(line); }
  // Everything the modem's thread was asked to do so far is done, timers
  // that were due included.
  void settle();
  // Waits until the modem has read `bytes` from the line and handled them.
  void waitHandled(const std::string& bytes);
  // Sends a command and waits until the modem has handled it, without
  // waiting for an answer (for commands that stay open, like ATD).
  void sendAndSettle(const std::string& line);
  // Information lines of an answer ("\r\n+CSQ: 21,99\r\n\r\nOK\r\n" -> "+CSQ: 21,99").
  static std::vector<std::string> infoLines(const std::string& answer);

  std::unique_ptr<VirtualModem> modem_;
  std::unique_ptr<PtyClient> client_;
};

}  // namespace fonexa::sim::test
