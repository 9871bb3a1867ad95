// How the event classes of both facades read an event's text and value.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace Mebrix::Fonexa::sdk {

// A new-message text: sender, "#", message. The first "#" divides them, a later
// one belongs to the message; without one both are empty.
std::pair<std::string, std::string> SplitMessageEvent(const std::string& text);

// The last event the engine raised.
std::pair<std::string, uint32_t> LastEvent();

}  // namespace Mebrix::Fonexa::sdk
