// Instances: creation, initialisation, power, state, the instance lock, release.
#include <new>

#include "session/StopEvent.h"
#include "exports/ExportFrame.h"

using fonexa::InstanceOf;
using fonexa::InUse;

namespace {
// How long a release waits to see whether another release is already under way.
constexpr uint32_t kReleaseCheckMs = 100;
}  // namespace

extern "C" {

MxGsmHandle CreateGsmInstance(void) {
  CMxGsmWrapper* instance = new (std::nothrow) CMxGsmWrapper;
  if (!instance) return nullptr;
  return reinterpret_cast<MxGsmHandle>(fonexa::LiveInstances::Add(instance));
}

int ReleaseGsm(MxGsmHandle h) {
  if (fonexa::StopEvent().Wait(kReleaseCheckMs)) return 0;
  // The stop event answers a release that came before; two that come at once
  // may both find it unset, and the claim lets only one of them go on.
  if (!CMxGsmWrapper::ClaimRelease()) return 0;
  CMxGsmWrapper* instance = fonexa::LiveInstances::Remove(reinterpret_cast<uintptr_t>(h));
  if (!instance) {
    fonexa::StopEvent().Set();
    return 1;
  }
  CMxGsmWrapper::Release(instance);
  return 1;
}

int Initialize(MxGsmHandle h, const char* text) {
  const fonexa::LiveInstances::Ref instance = InstanceOf(h);
  if (!instance || !text) return 0;
  return instance->Initialize(text);
}

void Uninitialize(MxGsmHandle) {}

int SwitchOn(MxGsmHandle h) {
  const fonexa::LiveInstances::Ref instance = InstanceOf(h);
  return instance ? instance->SwitchModuleOn() : 0;
}

int SwitchOff(MxGsmHandle h) {
  const fonexa::LiveInstances::Ref instance = InstanceOf(h);
  return instance ? instance->SwitchModuleOff() : 0;
}

// These reach the device profile (plug-in code) or the port: they hold the
// instance, so that a re-initialisation cannot unload the plug-in under them.
int IsModuleOn(MxGsmHandle h) {
  return InUse(h, 0, [](CMxGsmWrapper& w) { return w.Session().IsModulePowerOn(0); });
}

int GetState(MxGsmHandle h, int query) {
  return InUse(h, 0, [&](CMxGsmWrapper& w) { return w.GetModuleState(query); });
}

int Attach(MxGsmHandle h, const char* owner, int timeoutMs) {
  return InUse(h, 0, [&](CMxGsmWrapper& w) { return w.Attach(owner ? owner : "", static_cast<uint32_t>(timeoutMs)); });
}

int Detach(MxGsmHandle h) {
  return InUse(h, 0, [](CMxGsmWrapper& w) { return w.Detach(); });
}

uint32_t RegisterEventHandler(MxGsmHandle h, uint32_t eventId, IMxGsmHandler* handler) {
  return InUse(h, 0u, [&](CMxGsmWrapper& w) { return w.RegisterEvent(eventId, handler); });
}

uint32_t RegisterEventHandlerHwnd(MxGsmHandle h, uint32_t eventId, MxWindow window) {
  return InUse(h, 0u, [&](CMxGsmWrapper& w) { return w.RegisterEvent(eventId, window); });
}

int UnregisterEventHandler(MxGsmHandle h, uint32_t registrationId) {
  const fonexa::LiveInstances::Ref instance = InstanceOf(h);
  return instance ? instance->Session().UnregisterEvent(registrationId) : 0;
}

}  // extern "C"
