// Instances: creation, initialisation, power, state, the instance lock, release.
#include <new>

#include "session/StopEvent.h"
#include "exports/ExportFrame.h"

using fonexa::InstanceOf;

namespace {
// How long a release waits to see whether another release is already under way.
constexpr uint32_t kReleaseCheckMs = 100;
}  // namespace

extern "C" {

MxGsmHandle CreateGsmInstance(void) {
  return reinterpret_cast<MxGsmHandle>(new (std::nothrow) CMxGsmWrapper);
}

int ReleaseGsm(MxGsmHandle h) {
  if (fonexa::StopEvent().Wait(kReleaseCheckMs)) return 0;
  fonexa::StopEvent().Set();
  CMxGsmWrapper* instance = InstanceOf(h);
  if (!instance) return 1;
  // Waits for whoever holds the line; a refusal (module off) goes on without it.
  // The session's teardown releases what was taken here.
  instance->Attach("ReleaseGsm", fonexa::platform::ManualResetEvent::kInfinite);
  delete instance;
  return 1;
}

int Initialize(MxGsmHandle h, const char* text) {
  CMxGsmWrapper* instance = InstanceOf(h);
  if (!instance || !text) return 0;
  return instance->Initialize(text);
}

void Uninitialize(MxGsmHandle) {}

int SwitchOn(MxGsmHandle h) { return InstanceOf(h) ? InstanceOf(h)->SwitchModuleOn() : 0; }

int SwitchOff(MxGsmHandle h) { return InstanceOf(h) ? InstanceOf(h)->SwitchModuleOff() : 0; }

int IsModuleOn(MxGsmHandle h) { return InstanceOf(h) ? InstanceOf(h)->Session().IsModulePowerOn(0) : 0; }

int GetState(MxGsmHandle h, int query) { return InstanceOf(h) ? InstanceOf(h)->GetModuleState(query) : 0; }

int Attach(MxGsmHandle h, const char* owner, int timeoutMs) {
  if (!InstanceOf(h)) return 0;
  return InstanceOf(h)->Attach(owner ? owner : "", static_cast<uint32_t>(timeoutMs));
}

int Detach(MxGsmHandle h) { return InstanceOf(h) ? InstanceOf(h)->Detach() : 0; }

uint32_t RegisterEventHandler(MxGsmHandle h, uint32_t eventId, IMxGsmHandler* handler) {
  return InstanceOf(h) ? InstanceOf(h)->RegisterEvent(eventId, handler) : 0;
}

uint32_t RegisterEventHandlerHwnd(MxGsmHandle h, uint32_t eventId, MxWindow window) {
  return InstanceOf(h) ? InstanceOf(h)->RegisterEvent(eventId, window) : 0;
}

int UnregisterEventHandler(MxGsmHandle h, uint32_t registrationId) {
  return InstanceOf(h) ? InstanceOf(h)->Session().UnregisterEvent(registrationId) : 0;
}

}  // extern "C"
