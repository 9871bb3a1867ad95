#pragma once
// V.250 command-line syntax: the body of a line after "AT" split into basic
// commands (E0, &F, D..., S7=30) and extended commands (+CMGS=..., +CSQ,
// +CPIN?, +CLCC=?), with the parameters of the set form.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fonexa::sim {

struct AtParameter {
  bool present = false;  // an omitted parameter (",,") is not present
  bool quoted = false;
  std::string text;      // V.250 "\hh" escapes already resolved

  // A decimal value; nothing for an empty or non-numeric parameter.
  std::optional<long> number() const;
};

enum class AtForm { Execute, Set, Read, Test };

struct AtCommand {
  std::string name;  // upper case: "E", "&F", "D", "S", "+CMGS", "*EPEE"
  AtForm form = AtForm::Execute;
  std::string argument;                 // basic commands: "0" of E0, the dial string of D, the register of S
  std::vector<AtParameter> parameters;  // extended set form, and S<n>=<v>
  std::string text;                     // the command as typed, for traces

  const AtParameter& parameter(size_t i) const;
  bool has(size_t i) const { return i < parameters.size() && parameters[i].present; }
};

// Nothing for a line that does not follow the syntax; the modem then answers
// ERROR and runs none of its commands.
std::optional<std::vector<AtCommand>> parseCommandLine(std::string_view body);

}  // namespace fonexa::sim
