#pragma once
// The engine's events as the command shows them: a name for each
// identifier, and each event as a line of text and as a JSON object with
// its text and value taken apart where the event gives them a meaning.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Output.h"

namespace fonexa::cli {

struct EventKind {
  uint32_t id;
  const char* name;
};

// In the engine's order of identifiers.
inline constexpr EventKind kEventKinds[] = {
    {0x1, "ring"},           {0x2, "calling_ring"},   {0x4, "caller_id"}, {0x8, "status_report"},
    {0x10, "start_up"},      {0x20, "alarm_start_up"}, {0x40, "alarm"},    {0x80, "signal"},
    {0x100, "new_message"},  {0x200, "registration"}, {0x400, "dial_end"}, {0x800, "call_list"},
    {0x1000, "module_state"}, {0x2000, "trouble"},    {0x4000, "joined_message"},
    {0x8000, "delivery_report"}, {0x80000000u, "raw"},
};

const char* eventName(uint32_t id);
std::optional<uint32_t> eventId(std::string_view name);

// The outcome of a dial (event 0x400's value).
std::string dialOutcome(int32_t value);
// The +CLCC state of a call.
std::string callState(int state);

struct DescribedEvent {
  std::string text;
  Json object;
};
// text and value as the engine raised them: the text in Latin-1, but for the
// joined-message and delivery events, whose texts are UTF-8.
DescribedEvent describeEvent(uint32_t id, const std::string& text, uint32_t value);

}  // namespace fonexa::cli
