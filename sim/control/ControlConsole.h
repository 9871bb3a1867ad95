#pragma once
// The text control surface of a running modem: one command per line, as the
// fonexa-modemsim program reads them from its standard input. Each answer
// ends with a line "ok" or "error: <reason>".
#include <string>
#include <string_view>

#include "sim/VirtualModem.h"

namespace fonexa::sim {

class ControlConsole {
 public:
  explicit ControlConsole(VirtualModem& modem) : modem_(modem) {}

  std::string execute(std::string_view line);
  bool quitRequested() const { return quit_; }
  static std::string help();

 private:
  VirtualModem& modem_;
  bool quit_ = false;
};

}  // namespace fonexa::sim
