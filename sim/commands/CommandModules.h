#pragma once
// The AT commands the modem answers, one registration function per concern,
// and the few rules every concern applies alike.
#include <optional>
#include <string>
#include <string_view>

#include "sim/at/CommandTable.h"
#include "sim/state/ModemContext.h"

namespace fonexa::sim {

void registerIdentityCommands(CommandTable& table);
void registerSimCommands(CommandTable& table);
void registerNetworkCommands(CommandTable& table);
void registerCallCommands(CommandTable& table);
void registerSmsCommands(CommandTable& table);
void registerPhoneBookCommands(CommandTable& table);
void registerIntegerSettings(CommandTable& table);
CommandTable buildCommandTable();

// The error a command that needs the SIM gets while it is not usable, as a
// +CME ERROR (telephony) or a +CMS ERROR (messaging).
// The longest TPDU the message commands take, in octets.
constexpr int kMaxTpduLength = 176;

std::optional<Outcome> simGate(const ModemContext& ctx);
std::optional<Outcome> simGateForMessages(const ModemContext& ctx);

// A parameter as an integer within its range, or its default when omitted.
std::optional<int> integerParameter(const AtCommand& cmd, size_t index, int min, int max,
                                    std::optional<int> fallback = std::nullopt);
std::string quoted(std::string_view text);
// "(0-3),(0,1)" style range lists, as test commands print them.
bool inRangeList(std::string_view list, int value);
// The N-th parenthesised group of a list of range lists.
std::string rangeGroup(std::string_view lists, size_t n);

}  // namespace fonexa::sim
