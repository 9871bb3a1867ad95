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

namespace {

// The FONEXA_DELIVERY_* values by name, in the engine's order.
struct DeliveryName {
  int status;
  const char* name;
};
constexpr DeliveryName kDeliveryNames[] = {{FONEXA_DELIVERY_WAITING, "waiting"},
                                           {FONEXA_DELIVERY_DELIVERED, "delivered"},
                                           {FONEXA_DELIVERY_PENDING, "pending"},
                                           {FONEXA_DELIVERY_FAILED, "failed"}};

}  // namespace

const char* DeliveryStatusName(int status) {
  for (const DeliveryName& entry : kDeliveryNames) {
    if (entry.status == status) return entry.name;
  }
  return "unknown";
}

DeliveryEventBase::DeliveryEventBase(const std::string& text, uint32_t value)
    : m_status(FONEXA_DELIVERY_UNKNOWN), m_value(value) {
  // "waiting" is a state, never an event: the engine raises an event only
  // when a report said something.
  for (const DeliveryName& entry : kDeliveryNames) {
    if (entry.status != FONEXA_DELIVERY_WAITING && text == entry.name) m_status = entry.status;
  }
}

Dynamic::Events::EventHandler::~EventHandler() = default;

int Dynamic::Events::EventHandler::OnEvent(uint32_t id, const std::string& text, uint32_t value) {
  // Named through its own signature: a bare call would match both forms.
  int (EventHandler::*const deliver)(uint32_t, std::string, uint32_t) = &EventHandler::OnEvent;
  return (this->*deliver)(id, text, value);
}

}  // namespace Mebrix::Fonexa
