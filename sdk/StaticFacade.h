// The process-wide state behind Mebrix::Fonexa's static classes: the engine
// instance and GPRS object, and the event layer that lets any number of
// application handlers share one engine registration per event identifier.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "fonexa/Fonexa.h"

namespace Mebrix::Fonexa::sdk {

class StaticFacade {
 public:
  static StaticFacade& Get();

  // The process-wide instance, null before Initialize and after Uninitialize.
  MxGsmHandle Instance() const { return instance_.load(); }

  int Initialize(const char* text);
  void Uninitialize();

  uint32_t Register(uint32_t id, Events::EventHandler* handler, Events::EventFunction function);
  int Unregister(uint32_t cookie);

 private:
  // The one engine handler of the facade; hands each event to the
  // application handlers of its identifier.
  class Dispatcher final : public IMxGsmHandler {
   public:
    explicit Dispatcher(StaticFacade& facade) : facade_(facade) {}
    int OnEvent(uint32_t eventId, const std::string& text, uint32_t value) override;

   private:
    StaticFacade& facade_;
  };

  struct HandlerEntry {
    uint32_t eventId;
    uint32_t cookie;
    Events::EventHandler* handler;
    Events::EventFunction function;
  };
  // One per identifier registered with the engine.
  struct IdEntry {
    uint32_t eventId;
    uint32_t registrationId;
  };

  StaticFacade() : dispatcher_(*this) {}
  static void Deliver(const HandlerEntry& entry, uint32_t eventId, const std::string& text, uint32_t value);
  void DropRegistrations();

  // Held while handlers are called, so that a handler removed by Unregister
  // is not called after Unregister returns. Recursive: handlers may register
  // and unregister. Never held across a call that waits for the engine's
  // threads (those threads deliver events).
  std::recursive_mutex lock_;
  std::atomic<MxGsmHandle> instance_{nullptr};
  MxConnectionHandle gprs_ = nullptr;
  std::vector<HandlerEntry> handlers_;
  std::vector<IdEntry> ids_;
  uint32_t lastModuleState_ = 0;
  Dispatcher dispatcher_;
};

// The static facade's instance, for its members.
inline MxGsmHandle FacadeInstance() { return StaticFacade::Get().Instance(); }

// A per-instance service on the static facade's instance: the static members
// that take and give no texts forward through it.
template <class Service>
Service Bound() {
  return Service(Dynamic::BorrowedHandle{FacadeInstance()});
}

}  // namespace Mebrix::Fonexa::sdk
