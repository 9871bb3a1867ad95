// Event registrations and their synchronous delivery.
#include <cstdint>
#include <vector>

#include "session/LastEventRecord.h"
#include "fonexa/CMxComPort.h"
#include "fonexa/CMxGsmBasics.h"
#include "platform/MessageWindow.h"
#include "platform/Tick.h"
#include "text/DebugLog.h"

using fonexa::LastEventRecord;
using fonexa::TraceLog;

namespace {

// The sessions whose events this thread is delivering, innermost last.
thread_local std::vector<const CMxGsmBasics*> t_dispatching;

struct DispatchScope {
  explicit DispatchScope(const CMxGsmBasics* session) { t_dispatching.push_back(session); }
  ~DispatchScope() { t_dispatching.pop_back(); }
  DispatchScope(const DispatchScope&) = delete;
  DispatchScope& operator=(const DispatchScope&) = delete;
};

}  // namespace

bool CMxGsmBasics::IsDispatchingOnThisThread() const {
  for (const CMxGsmBasics* session : t_dispatching) {
    if (session == this) return true;
  }
  return false;
}

int CMxGsmBasics::_TranslateEvent(uint32_t eventId, const std::string& text, uint32_t value) {
  TraceLog().Write("\n-->CMxGsmBasics::_TranslateEvent>>[%X, %s, %d]\n", eventId, text.c_str(),
                   static_cast<int>(value));
  if (eventId == 0) return 0;
  LastEventRecord::Store(text, value);
  // Handlers may register or unregister while they are called: they are
  // delivered to from a copy taken at the start.
  std::vector<MxEventRegistration> targets;
  {
    std::lock_guard<std::mutex> lock(m_registrationsLock);
    for (const MxEventRegistration* registration : m_registrations) {
      if (registration->eventId == eventId) targets.push_back(*registration);
    }
  }
  const DispatchScope dispatching(this);
  int index = 0;
  for (const MxEventRegistration& target : targets) {
    const auto who = target.handler ? reinterpret_cast<uintptr_t>(target.handler)
                                    : reinterpret_cast<uintptr_t>(target.window);
    TraceLog().Write("CMxGsmBasics::_TranslateEvent>>[%d, %X, %X, %X]\n", index++, eventId, target.eventId,
                     static_cast<unsigned>(who));
    if (target.handler) {
      target.handler->OnEvent(eventId, text, value);
    } else if (target.window) {
      fonexa::platform::SendWindowMessage(target.window, kEventMessage, eventId,
                                          reinterpret_cast<intptr_t>(LastEventRecord::TextAddress()));
    }
  }
  TraceLog().Write("<--CMxGsmBasics::_TranslateEvent>>[%X, %s, %d]\n", eventId, text.c_str(),
                   static_cast<int>(value));
  return 1;
}

uint32_t CMxGsmBasics::AddRegistration(uint32_t eventId, IMxGsmHandler* handler, MxWindow window) {
  if (eventId == 0) return 0;
  if (m_device && IsOpened()) {
    if (CMxComPort* port = m_device->GetComPort()) port->SetEventRing(1);
  }
  // The tick count of the registration, made unique: two registrations in one
  // millisecond would otherwise share a key, and unregistering one of them
  // could remove the other.
  uint32_t key = fonexa::platform::TickCount();
  std::lock_guard<std::mutex> lock(m_registrationsLock);
  const auto taken = [this](uint32_t k) {
    for (const MxEventRegistration* r : m_registrations) {
      if (r->key == k) return true;
    }
    return k == 0;
  };
  while (taken(key)) ++key;
  m_registrations.push_back(new MxEventRegistration{eventId, key, handler, window});
  return key;
}

uint32_t CMxGsmBasics::RegisterEvent(uint32_t eventId, IMxGsmHandler* handler) {
  return AddRegistration(eventId, handler, nullptr);
}

uint32_t CMxGsmBasics::RegisterEvent(uint32_t eventId, MxWindow window) {
  return AddRegistration(eventId, nullptr, window);
}

int CMxGsmBasics::UnregisterEvent(uint32_t key) {
  std::lock_guard<std::mutex> lock(m_registrationsLock);
  for (auto it = m_registrations.begin(); it != m_registrations.end(); ++it) {
    if ((*it)->key == key) {
      delete *it;
      m_registrations.erase(it);
      return 1;
    }
  }
  return 0;
}

int CMxGsmBasics::IsHandledEvent(uint32_t eventId) {
  std::lock_guard<std::mutex> lock(m_registrationsLock);
  for (const MxEventRegistration* registration : m_registrations) {
    if (registration->eventId == eventId) return 1;
  }
  return 0;
}
