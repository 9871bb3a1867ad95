// The virtual modem's V.250 command-line parser on any line a client may type:
// commands made of the line's own text, or nothing (the modem answers ERROR),
// never a crash, a hang or a read past the line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sim/at/AtCommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4000) return 0;
  // An exact-size copy, so that a read past the line is a heap overflow.
  const std::string body(reinterpret_cast<const char*>(data), size);
  const auto commands = fonexa::sim::parseCommandLine(std::string_view(body));
  if (!commands) return 0;
  if (commands->size() > body.size()) __builtin_trap();  // every command takes at least one character
  for (const fonexa::sim::AtCommand& command : *commands) {
    if (command.name.empty() || command.name.size() > body.size()) __builtin_trap();
    if (command.argument.size() > body.size()) __builtin_trap();
    if (command.parameters.size() > body.size() + 1) __builtin_trap();
    for (size_t i = 0; i < command.parameters.size(); ++i) {
      const fonexa::sim::AtParameter& parameter = command.parameter(i);
      // "\hh" escapes only ever shorten a parameter.
      if (parameter.text.size() > body.size()) __builtin_trap();
      (void)parameter.number();
      if (command.has(i) != parameter.present) __builtin_trap();
    }
  }
  return 0;
}
