#include "sim/commands/CommandModules.h"

#include <algorithm>
#include <cstdlib>

namespace fonexa::sim {

CommandTable buildCommandTable() {
  CommandTable table;
  registerIdentityCommands(table);
  registerSimCommands(table);
  registerNetworkCommands(table);
  registerCallCommands(table);
  registerSmsCommands(table);
  registerPhoneBookCommands(table);
  registerIntegerSettings(table);
  std::vector<std::string> names;
  for (const auto& name : table.names()) {
    if (name[0] == '+') names.push_back("AT" + name);
  }
  std::sort(names.begin(), names.end());
  names.push_back("AT+CLAC");
  table.add("+CLAC", [names](ModemContext&, const AtCommand& cmd, Reply& r) {
    if (cmd.form == AtForm::Test) return;
    if (cmd.form != AtForm::Execute) return r.fail(Outcome::error());
    for (const auto& n : names) r.info(n);
  });
  return table;
}

std::optional<Outcome> simGate(const ModemContext& ctx) {
  if (auto e = ctx.sim.accessError()) return Outcome::cme(*e);
  return std::nullopt;
}

std::optional<Outcome> simGateForMessages(const ModemContext& ctx) {
  auto e = ctx.sim.accessError();
  if (!e) return std::nullopt;
  switch (*e) {
    case CmeError::SimNotInserted: return Outcome::cms(CmsError::SimNotInserted);
    case CmeError::SimPinRequired: return Outcome::cms(CmsError::SimPinRequired);
    case CmeError::SimPukRequired: return Outcome::cms(CmsError::SimPukRequired);
    case CmeError::PhSimPinRequired: return Outcome::cms(CmsError::PhSimPinRequired);
    default: return Outcome::cms(CmsError::SimFailure);
  }
}

std::optional<int> integerParameter(const AtCommand& cmd, size_t index, int min, int max,
                                    std::optional<int> fallback) {
  const AtParameter& p = cmd.parameter(index);
  if (!p.present) return fallback;
  auto v = p.number();
  if (!v || *v < min || *v > max) return std::nullopt;
  return static_cast<int>(*v);
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string rangeGroup(std::string_view lists, size_t n) {
  size_t depth = 0;
  size_t group = 0;
  std::string current;
  for (char c : lists) {
    if (c == '(') {
      ++depth;
      current.clear();
    } else if (c == ')') {
      if (depth > 0) --depth;
      if (group++ == n) return current;
    } else if (depth > 0) {
      current += c;
    }
  }
  return "";
}

bool inRangeList(std::string_view list, int value) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string_view::npos) end = list.size();
    const std::string item(list.substr(start, end - start));
    const size_t dash = item.find('-');
    if (!item.empty()) {
      const int lo = std::atoi(item.substr(0, dash).c_str());
      const int hi = dash == std::string::npos ? lo : std::atoi(item.substr(dash + 1).c_str());
      if (value >= lo && value <= hi) return true;
    }
    start = end + 1;
  }
  return false;
}

}  // namespace fonexa::sim
