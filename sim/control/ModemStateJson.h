#pragma once
// The modem's state as JSON: the dump that the control surface prints, and
// the state file a session starts from and leaves behind (SIM codes, network,
// message memories, phone books, service centre, clock).
#include <string>
#include <string_view>

#include "sim/control/JsonValue.h"
#include "sim/state/MessageCentre.h"
#include "sim/state/ModemContext.h"

namespace fonexa::sim {

JsonValue stateToJson(ModemContext& ctx);
// Applies what the document holds and leaves the rest as it is; false with a
// reason for a document that does not fit.
bool applyStateJson(ModemContext& ctx, const JsonValue& state, std::string& error);

std::string simStateName(SimState state);
std::string callStateName(CallState state);

}  // namespace fonexa::sim
