#pragma once
// Commands whose whole parameter is one integer out of a range list: the
// error-report, message-format and presentation settings, +CREG's report
// mode, +CSMS's service and +CNMA's reply. Each is a row; one handler answers
// for all of them, so a command's "=?" text is the very list its values are
// checked against.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sim/at/CommandTable.h"
#include "sim/state/ModemContext.h"

namespace fonexa::sim {

struct IntegerSetting {
  std::string_view name;   // "+CMEE"
  std::string_view range;  // "(0-2)": what "=?" answers and what a value must be in
  // Where the value is kept; a command without one reads as ERROR and does
  // its work in `apply`.
  int TerminalSettings::*field = nullptr;
  // The value an omitted parameter stands for; without one it is required.
  std::optional<int> omitted{};
  // The answer to a value outside the range, or a missing required one.
  Outcome rejected = Outcome::error();
  // V.250 lets "AT+CMEE" mean "AT+CMEE=" for some commands; the others
  // answer the bare form with ERROR.
  bool bareTakesOmitted = false;
  // What the read form shows after the value: fixed text ...
  std::string_view readTail{};
  // ... or text that follows from the phone's state.
  std::string (*readState)(const ModemContext&) = nullptr;
  // Runs once the value is taken, with the whole command for any further
  // parameters; it may add lines or fail the command.
  void (*apply)(ModemContext&, int value, const AtCommand&, Reply&) = nullptr;
};

std::span<const IntegerSetting> integerSettings();
CommandHandler integerSettingHandler(const IntegerSetting& setting);

}  // namespace fonexa::sim
