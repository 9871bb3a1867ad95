// The event classes of both facades.
#include "RecordConversion.h"
#include "fonexa/Fonexa.h"

namespace Mebrix::Fonexa {

CurrentEventBase::CurrentEventBase() {
  char text[FONEXA_EVENT_TEXT_SIZE] = {};
  GetEventParams(text, &m_value);
  m_text = text;
}

SmsEventBase::SmsEventBase(const std::string& text, uint32_t value) : m_value(value) {
  const size_t mark = text.find('#');
  if (mark == std::string::npos) return;
  m_sender = text.substr(0, mark);
  m_text = text.substr(mark + 1);
}

SYSTEMTIME Events::SmsEvent::GetTime() const { return sdk::SystemTimeOf(m_value); }

Dynamic::Events::EventHandler::~EventHandler() = default;

int Dynamic::Events::EventHandler::OnEvent(uint32_t id, const std::string& text, uint32_t value) {
  // Named through its own signature: a bare call would match both forms.
  int (EventHandler::*const deliver)(uint32_t, std::string, uint32_t) = &EventHandler::OnEvent;
  return (this->*deliver)(id, text, value);
}

}  // namespace Mebrix::Fonexa
