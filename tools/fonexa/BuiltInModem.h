#pragma once
// The virtual modem the command starts on a fresh pseudo-terminal when no
// phone is named, for the length of the command. It lives in this process,
// so the demo can also play the network's part: messages and calls arriving.
#include <memory>
#include <string>

#include "sim/VirtualModem.h"

namespace fonexa::cli {

class BuiltInModem {
 public:
  BuiltInModem();
  ~BuiltInModem();

  // false with the reason in error when the pty cannot be made.
  bool start(std::string& error);
  std::string devicePath() const { return modem_->devicePath(); }
  // The device text the engine is given: the generic plug-in on the pty.
  std::string spec() const { return "GenericPhone@" + devicePath(); }
  sim::VirtualModem& modem() { return *modem_; }

 private:
  std::unique_ptr<sim::VirtualModem> modem_;
};

}  // namespace fonexa::cli
