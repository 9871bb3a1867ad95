#include "StaticFacade.h"

#include <time.h>

#include <algorithm>
#include <utility>

namespace Mebrix::Fonexa::sdk {
namespace {

// Cookies are the millisecond tick count, as the engine's registration ids.
uint32_t TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

}  // namespace

StaticFacade& StaticFacade::Get() {
  // Never destroyed: engine threads may still deliver while the process exits.
  static StaticFacade* const facade = new StaticFacade();
  return *facade;
}

int StaticFacade::Initialize(const char* text) {
  MxGsmHandle instance;
  {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (!instance_.load()) instance_.store(CreateGsmInstance());
    if (!gprs_) gprs_ = GprsCreate();
    DropRegistrations();
    instance = instance_.load();
  }
  return ::Initialize(instance, text);
}

void StaticFacade::Uninitialize() {
  const MxGsmHandle instance = instance_.load();
  ::Uninitialize(instance);
  // Releasing waits for the engine's threads, which may be delivering an
  // event: the lock stays free meanwhile.
  MxConnectionHandle gprs;
  {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    gprs = std::exchange(gprs_, nullptr);
  }
  if (gprs) GprsRelease(gprs);
  if (instance_.exchange(nullptr)) ReleaseGsm(instance);

  std::lock_guard<std::recursive_mutex> guard(lock_);
  const std::vector<HandlerEntry> told = handlers_;
  for (const HandlerEntry& entry : told) {
    if (entry.eventId == FONEXA_EVENT_MODULE_STATE) Deliver(entry, FONEXA_EVENT_MODULE_STATE, "", 0);
  }
  handlers_.clear();
  ids_.clear();
  lastModuleState_ = 0;
}

void StaticFacade::DropRegistrations() {
  // The engine keeps registrations until its instance is released; one left
  // behind would deliver every later event of its identifier twice.
  for (const IdEntry& id : ids_) UnregisterEventHandler(instance_.load(), id.registrationId);
  handlers_.clear();
  ids_.clear();
}

uint32_t StaticFacade::Register(uint32_t id, Events::EventHandler* handler, Events::EventFunction function) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  const uint32_t cookie = TickCount();
  handlers_.push_back(HandlerEntry{id, cookie, handler, std::move(function)});
  const bool known = std::any_of(ids_.begin(), ids_.end(), [id](const IdEntry& e) { return e.eventId == id; });
  if (known) {
    // The engine tells the state only to a new registration: a handler that
    // joins one is told from the last state the facade saw.
    if (id == FONEXA_EVENT_MODULE_STATE) Deliver(handlers_.back(), id, "", lastModuleState_);
    return cookie;
  }
  // For 0x1000 the engine calls the dispatcher at once, which reaches the new
  // handler through the list.
  const uint32_t registrationId = RegisterEventHandler(instance_.load(), id, &dispatcher_);
  ids_.push_back(IdEntry{id, registrationId});
  return cookie;
}

int StaticFacade::Unregister(uint32_t cookie) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  auto entry =
      std::find_if(handlers_.begin(), handlers_.end(), [cookie](const HandlerEntry& e) { return e.cookie == cookie; });
  if (entry == handlers_.end()) return 0;
  const uint32_t id = entry->eventId;
  handlers_.erase(entry);
  if (std::any_of(handlers_.begin(), handlers_.end(), [id](const HandlerEntry& e) { return e.eventId == id; }))
    return 0;
  auto registration = std::find_if(ids_.begin(), ids_.end(), [id](const IdEntry& e) { return e.eventId == id; });
  if (registration == ids_.end() || !UnregisterEventHandler(instance_.load(), registration->registrationId)) return 0;
  ids_.erase(registration);
  return 1;
}

void StaticFacade::Deliver(const HandlerEntry& entry, uint32_t eventId, const std::string& text, uint32_t value) {
  if (entry.handler) {
    entry.handler->OnEvent(eventId, text.c_str(), value);
  } else if (entry.function) {
    entry.function(eventId, text, value);
  }
}

int StaticFacade::Dispatcher::OnEvent(uint32_t eventId, const std::string& text, uint32_t value) {
  std::lock_guard<std::recursive_mutex> guard(facade_.lock_);
  // A handler may register or unregister while it is called: the round goes
  // over the list as it stood when the event came.
  const std::vector<HandlerEntry> targets = facade_.handlers_;
  for (const HandlerEntry& entry : targets) {
    if (entry.eventId == eventId) Deliver(entry, eventId, text, value);
  }
  if (eventId == FONEXA_EVENT_MODULE_STATE) facade_.lastModuleState_ = value;
  return 0;
}

}  // namespace Mebrix::Fonexa::sdk
