// Voice calls, the current-call list, call forwarding and barring, and the
// device profile's call durations and audio switching.
#include <string>
#include <vector>

#include "exports/Enumeration.h"
#include "exports/ExportFrame.h"
#include "exports/FlatRecords.h"
#include "fonexa/CMxComPort.h"
#include "services/CMxGsmCall.h"

using fonexa::CallEntry;
using fonexa::CopyText;
using fonexa::InUse;
using fonexa::Locked;
using fonexa::LockedWithDevice;
using fonexa::Store;
using fonexa::WithService;

namespace {

fonexa::Enumeration<CallEntry>& CurrentCalls() {
  static fonexa::Enumeration<CallEntry> list;
  return list;
}

// The profile writes into a buffer of its own, which is then cut to size; a
// profile that writes nothing leaves the caller's buffer as it was.
template <class Read>
int DeviceText(MxGsmHandle h, const char* owner, char* out, size_t size, Read read) {
  constexpr char kUnwritten = '\x01';
  char text[256] = {kUnwritten};
  const auto result = LockedWithDevice(h, owner, [&](CMxGsmDevice& d) { return (d.*read)(text); });
  if (!result) return 0;
  text[sizeof text - 1] = '\0';
  if (text[0] != kUnwritten) CopyText(text, out, size);
  return *result;
}

}  // namespace

extern "C" {

int GetActivity(MxGsmHandle h) {
  return WithService<CMxGsmCall>(h, "GetActivity", [](CMxGsmCall& c) { return c.GetActivityStatus(); }).value_or(-1);
}

int Answer(MxGsmHandle h) {
  return WithService<CMxGsmCall>(h, "Answer", [](CMxGsmCall& c) { return c.Answer(); }).value_or(0);
}

// The dial thread takes the lock itself, for the whole dial.
int Dial(MxGsmHandle h, const char* number) {
  if (!number) return 0;
  return InUse(h, 0, [&](CMxGsmWrapper& w) { return CMxGsmCall(&w.Session()).StartDial(number); });
}

int DialFromPhoneBook(MxGsmHandle h, int storage, int location) {
  return InUse(h, 0, [&](CMxGsmWrapper& w) {
    // With one argument (location -1) the first one is a location of the
    // current storage.
    if (location == -1) return CMxGsmCall(&w.Session()).StartDialFromPhoneBook("", storage);
    CMxGsmDevice* device = w.Session().GetDevice();
    const std::string name = device ? device->GetPBStorageIdentifier(storage) : std::string();
    if (name.empty()) return 0;
    return CMxGsmCall(&w.Session()).StartDialFromPhoneBook(name, location);
  });
}

// Takes no session lock: the dial thread holds it while it waits.
void InterruptDialing(MxGsmHandle h) {
  InUse(h, 0, [](CMxGsmWrapper& w) {
    CMxGsmDevice* device = w.Session().GetDevice();
    return device && device->GetComPort() ? device->GetComPort()->WriteString("A\r") : 0;
  });
}

int Hangup(MxGsmHandle h) {
  return WithService<CMxGsmCall>(h, "Hangup", [](CMxGsmCall& c) { return c.Hangup(); }).value_or(0);
}

int ManageMultiparty(MxGsmHandle h, int mode, int index) {
  return WithService<CMxGsmCall>(h, "ManageMultiparty", [&](CMxGsmCall& c) {
           return c.ManageMultipartyCall(mode, index);
         }).value_or(0);
}

int EnableClip(MxGsmHandle h, int on) {
  return WithService<CMxGsmCall>(h, "EnableClip", [&](CMxGsmCall& c) { return c.SetClip(on); }).value_or(0);
}

int EnableClir(MxGsmHandle h, int on) {
  return WithService<CMxGsmCall>(h, "EnableClir", [&](CMxGsmCall& c) { return c.SetClir(on); }).value_or(0);
}

int GetCallForwarding(MxGsmHandle h, int reason, int callClass, int* status, char* number, int* time) {
  int s = 0;
  int t = 0;
  std::string text;
  const auto result = WithService<CMxGsmCall>(h, "GetCallForwarding", [&](CMxGsmCall& c) {
    return c.GetCallForwarding(reason, callClass, s, text, t);
  });
  if (!result) return 0;
  Store(status, s);
  Store(time, t);
  CopyText(text, number, FONEXA_FORWARDING_NUMBER_SIZE);
  return *result;
}

int SetCallForwarding(MxGsmHandle h, int reason, int callClass, int enable, const char* number, int time) {
  const std::string text = number ? number : "";
  return WithService<CMxGsmCall>(h, "SetCallForwarding", [&](CMxGsmCall& c) {
           return c.SetCallForwarding(reason, callClass, enable, text, time);
         }).value_or(0);
}

int GetCallBarring(MxGsmHandle h, int type, int callClass, const char* password, int* status) {
  int s = 0;
  const std::string text = password ? password : "";
  const auto result = WithService<CMxGsmCall>(h, "GetCallBarring", [&](CMxGsmCall& c) {
    return c.GetCallBarring(type, callClass, text, s);
  });
  if (!result) return 0;
  Store(status, s);
  return *result;
}

int SetCallBarring(MxGsmHandle h, int type, int callClass, const char* password, int lock) {
  const std::string text = password ? password : "";
  return WithService<CMxGsmCall>(h, "SetCallBarring", [&](CMxGsmCall& c) {
           return c.SetCallBarring(type, callClass, text, lock);
         }).value_or(0);
}

int LoadCurrentCalls(MxGsmHandle h) {
  std::vector<CallEntry> entries;
  const auto result =
      WithService<CMxGsmCall>(h, "_GetCurrentCalls", [&](CMxGsmCall& c) { return c.GetCurrentCalls(entries); });
  return CurrentCalls().Load(result.value_or(0) != 0, std::move(entries));
}

int GetNextCurrentCall(MxCallRecord* record) {
  if (!record) return 0;
  return CurrentCalls().Next([&](const CallEntry& entry) { fonexa::ToRecord(entry, *record); }) ? 1 : 0;
}

int GetLastCallDuration(MxGsmHandle h, char* out) {
  return DeviceText(h, "GetLastCallDuration", out, FONEXA_CALL_DURATION_SIZE, &CMxGsmDevice::GetLastCallDuration);
}

int GetTotalCallDuration(MxGsmHandle h, char* out) {
  return DeviceText(h, "GetTotalCallDuration", out, FONEXA_CALL_DURATION_SIZE, &CMxGsmDevice::GetTotalCallDuration);
}

int SetupGsmAudio(MxGsmHandle h) {
  return LockedWithDevice(h, "SetupGsmAudio", [](CMxGsmDevice& d) { return d.SetupGsmAudio(); }).value_or(0);
}

// Without the session lock, as the profile switches the audio path itself.
int VoiceOn(MxGsmHandle h) {
  return InUse(h, 0, [](CMxGsmWrapper& w) { return w.Session().GetDevice() ? w.Session().GetDevice()->VoiceOn() : 0; });
}

int VoiceOff(MxGsmHandle h) {
  return InUse(h, 0, [](CMxGsmWrapper& w) { return w.Session().GetDevice() ? w.Session().GetDevice()->VoiceOff() : 0; });
}

}  // extern "C"
