// The event classes of both facades.
#include "EventTexts.h"

#include "RecordConversion.h"
#include "fonexa/Fonexa.h"

namespace Mebrix::Fonexa {
namespace sdk {

std::pair<std::string, std::string> SplitMessageEvent(const std::string& text) {
  const size_t mark = text.find('#');
  if (mark == std::string::npos) return {};
  return {text.substr(0, mark), text.substr(mark + 1)};
}

std::pair<std::string, uint32_t> LastEvent() {
  char text[FONEXA_EVENT_TEXT_SIZE] = {};
  uint32_t value = 0;
  GetEventParams(text, &value);
  return {std::string(text), value};
}

}  // namespace sdk

Events::CurrentEvent::CurrentEvent() { std::tie(m_text, m_value) = sdk::LastEvent(); }

Events::SmsEvent::SmsEvent(const char* text, uint32_t value) : m_value(value) {
  std::tie(m_sender, m_text) = sdk::SplitMessageEvent(text ? text : "");
}
SYSTEMTIME Events::SmsEvent::GetTime() const { return sdk::SystemTimeOf(m_value); }

namespace Dynamic {

Events::EventHandler::~EventHandler() = default;

int Events::EventHandler::OnEvent(uint32_t id, const std::string& text, uint32_t value) {
  // Named through its own signature: a bare call would match both forms.
  int (EventHandler::*const deliver)(uint32_t, std::string, uint32_t) = &EventHandler::OnEvent;
  return (this->*deliver)(id, text, value);
}

Events::CurrentEvent::CurrentEvent() { std::tie(m_text, m_value) = sdk::LastEvent(); }

Events::SmsEvent::SmsEvent(const std::string& text, uint32_t value) : m_value(value) {
  std::tie(m_sender, m_text) = sdk::SplitMessageEvent(text);
}

}  // namespace Dynamic
}  // namespace Mebrix::Fonexa
