// SIM security: entering and changing codes, and the SIM and fixed-dialling locks.
#include <string>

#include "exports/ExportFrame.h"
#include "services/CMxGsmProtection.h"

using fonexa::Locked;
using fonexa::LockedWithDevice;
using fonexa::Store;
using fonexa::WithService;

extern "C" {

int GetPinCounter(MxGsmHandle h) {
  return LockedWithDevice(h, "GetPinCounter", [](CMxGsmDevice& d) { return d.GetPinCounter(); }).value_or(-1);
}

int GetLock(MxGsmHandle h, int type, const char* password, int* status) {
  int s = 0;
  const std::string text = password ? password : "";
  const auto result =
      WithService<CMxGsmProtection>(h, "GetLock", [&](CMxGsmProtection& p) { return p.GetLock(type, text, s); });
  if (!result) return 0;
  Store(status, s);
  return *result;
}

int SetLock(MxGsmHandle h, int type, const char* password, int on) {
  const std::string text = password ? password : "";
  return WithService<CMxGsmProtection>(h, "SetLock", [&](CMxGsmProtection& p) {
           return p.SetLock(type, text, on);
         }).value_or(0);
}

// The instance is refused to everyone else while the code is checked (state
// 3); the phone's acceptance arrives later as the module-state event.
int Verify(MxGsmHandle h, const char* code, const char* secondCode) {
  if (!code) return 0;
  const std::string first = code;
  const std::string second = secondCode ? secondCode : "";
  return Locked(h, "Verify", [&](CMxGsmWrapper& w) {
           CMxGsmWrapper* instance = &w;
           return CMxGsmProtection(&w.Session())
               .StartVerify([instance](int state) { instance->SetModuleState(state); }, first, second);
         }).value_or(0);
}

int ChangePin(MxGsmHandle h, int kind, const char* oldCode, const char* newCode) {
  const std::string old = oldCode ? oldCode : "";
  const std::string fresh = newCode ? newCode : "";
  return WithService<CMxGsmProtection>(h, "ChangePin", [&](CMxGsmProtection& p) {
           return p.ChangePinCode(kind, old, fresh);
         }).value_or(0);
}

int AutoVerify(MxGsmHandle h) {
  return fonexa::InUse(h, 0, [](CMxGsmWrapper& w) { return w.VerifySimPIN(); });
}

// Takes no lock: the function is only stored.
int SetCodeRetrievalFunc(MxGsmHandle h, CodeRetrievalFunc f) {
  return fonexa::InUse(h, 0, [&](CMxGsmWrapper& w) { return w.SetCodeRetrievalFunc(f); });
}

}  // extern "C"
