#include "EventDescriptions.h"

#include <ctime>

#include "TextEncoding.h"
#include "fonexa/Fonexa.h"

namespace fonexa::cli {

using Mebrix::Fonexa::Events;

namespace {

constexpr const char* kDialOutcomes[] = {"connected", "busy", "no dial tone", "no carrier"};
constexpr const char* kCallStates[] = {"active", "held", "dialling", "alerting", "incoming", "waiting"};
constexpr const char* kCallChanges[] = {"", "appeared", "ended", "changed"};

std::string localTime(std::time_t seconds) {
  std::tm parts{};
  localtime_r(&seconds, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
  return text;
}

}  // namespace

const char* eventName(uint32_t id) {
  for (const EventKind& kind : kEventKinds) {
    if (kind.id == id) return kind.name;
  }
  return "event";
}

std::optional<uint32_t> eventId(std::string_view name) {
  for (const EventKind& kind : kEventKinds) {
    if (name == kind.name) return kind.id;
  }
  return std::nullopt;
}

std::string dialOutcome(int32_t value) {
  return value >= 0 && value < 4 ? kDialOutcomes[value] : "failed";
}

std::string callState(int state) { return state >= 0 && state < 6 ? kCallStates[state] : std::to_string(state); }

DescribedEvent describeEvent(uint32_t id, const std::string& text, uint32_t value) {
  DescribedEvent event;
  const std::string name = eventName(id);
  event.object["time"] = localTime(std::time(nullptr));
  event.object["event"] = name;
  event.object["id"] = id;
  event.object["value"] = value;
  const bool utf8 = id == FONEXA_EVENT_JOINED_MESSAGE || id == FONEXA_EVENT_DELIVERY_REPORT;
  event.object["text"] = utf8 ? text : latin1ToUtf8(text);
  event.text = event.object["time"].get<std::string>() + "  " + name;
  switch (id) {
    case FONEXA_EVENT_JOINED_MESSAGE: {
      const Events::JoinedMessageEvent message(text.c_str(), value);
      event.object["from"] = message.GetSender();
      event.object["message"] = message.GetText();
      event.object["missing"] = message.GetMissingParts();
      event.text += ": from " + std::string(message.GetSender()) + ": " + message.GetText();
      if (!message.IsComplete()) {
        event.text += " (" + std::to_string(message.GetMissingParts()) +
                      (message.GetMissingParts() == 1 ? " part" : " parts") + " missing)";
      }
      break;
    }
    case FONEXA_EVENT_DELIVERY_REPORT: {
      const Events::DeliveryEvent report(text.c_str(), value);
      event.object["message_id"] = report.GetMessageId();
      event.object["delivery"] = report.GetStatusName();
      event.text += ": message " + std::to_string(report.GetMessageId()) + " " + report.GetStatusName();
      break;
    }
    case FONEXA_EVENT_NEW_MESSAGE: {
      const Events::SmsEvent message(text.c_str(), value);
      event.object["from"] = latin1ToUtf8(message.GetSender());
      event.object["message"] = latin1ToUtf8(message.GetText());
      event.text += ": from " + latin1ToUtf8(message.GetSender()) + ": " + latin1ToUtf8(message.GetText());
      break;
    }
    case FONEXA_EVENT_CALL_LIST: {
      const Events::CallEvent call(text.c_str(), value);
      const int change = call.GetExtendedEvent();
      event.object["number"] = latin1ToUtf8(call.GetNumber());
      event.object["change"] = change >= 1 && change <= 3 ? kCallChanges[change] : std::to_string(change);
      event.object["old_state"] = callState(call.GetOldState());
      event.object["new_state"] = callState(call.GetNewState());
      event.text += ": " + event.object["number"].get<std::string>() + " " + event.object["change"].get<std::string>() +
                    ", " + callState(call.GetOldState()) + " -> " + callState(call.GetNewState());
      break;
    }
    case FONEXA_EVENT_DIAL_END:
      event.object["outcome"] = dialOutcome(static_cast<int32_t>(value));
      event.text += ": " + latin1ToUtf8(text) + " " + dialOutcome(static_cast<int32_t>(value));
      break;
    case FONEXA_EVENT_MODULE_STATE:
      event.object["ready"] = value == 1;
      event.text += value == 1 ? ": ready" : ": not ready";
      break;
    case FONEXA_EVENT_SIGNAL:
      event.text += ": rssi " + std::to_string(value);
      break;
    default:
      event.text += ": value " + std::to_string(value) + (text.empty() ? "" : ", " + latin1ToUtf8(text));
  }
  return event;
}

}  // namespace fonexa::cli
