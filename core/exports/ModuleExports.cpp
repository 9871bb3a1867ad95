// Module information and maintenance, and the SIM status.
#include "exports/ExportFrame.h"
#include "services/CMxGsmProtection.h"

using fonexa::CopyText;
using fonexa::Locked;
using fonexa::LockedWithDevice;

namespace {

// The session operations that fill one text: the text is copied out after the
// lock is released, whatever the operation's result.
template <class Operation>
int SessionText(MxGsmHandle h, const char* owner, char* out, size_t size, Operation operation) {
  std::string text;
  const auto result = Locked(h, owner, [&](CMxGsmWrapper& w) { return (w.Session().*operation)(text); });
  if (!result) return 0;
  CopyText(text, out, size);
  return *result;
}

}  // namespace

extern "C" {

int GetSimId(MxGsmHandle h, char* out) {
  // The profile writes into a buffer of its own, which is then cut to size; a
  // profile that writes nothing leaves the caller's buffer as it was.
  constexpr char kUnwritten = '\x01';
  char text[256] = {kUnwritten};
  const auto result = LockedWithDevice(h, "GetSimId", [&](CMxGsmDevice& d) { return d.GetSimId(text); });
  if (!result) return 0;
  text[sizeof text - 1] = '\0';
  if (text[0] != kUnwritten) CopyText(text, out, FONEXA_SIM_ID_SIZE);
  return *result;
}

int GetTime(MxGsmHandle h, char* out) {
  return SessionText(h, "GetTime", out, FONEXA_TIME_SIZE, &CMxGsmBasics::GetTime);
}

int SetTime(MxGsmHandle h, const char* time) {
  if (!time) return 0;
  return Locked(h, "SetTime", [&](CMxGsmWrapper& w) { return w.Session().SetTime(time); }).value_or(0);
}

int GetManufacturer(MxGsmHandle h, char* out) {
  return SessionText(h, "GetManufacturer", out, FONEXA_IDENTITY_SIZE, &CMxGsmBasics::GetManufacturer);
}

int GetModel(MxGsmHandle h, char* out) {
  return SessionText(h, "GetModel", out, FONEXA_IDENTITY_SIZE, &CMxGsmBasics::GetModel);
}

int GetImei(MxGsmHandle h, char* out) {
  return SessionText(h, "GetImei", out, FONEXA_IDENTITY_SIZE, &CMxGsmBasics::GetProductSerialID);
}

int RestoreFactorySettings(MxGsmHandle h) {
  return Locked(h, "RestoreFactorySettings", [](CMxGsmWrapper& w) { return w.Session().RestoreFactorySettings(); })
      .value_or(0);
}

int RunDiagnostics(MxGsmHandle h, const char* path) {
  if (!path) return 0;
  return Locked(h, "RunDiagnostics", [&](CMxGsmWrapper& w) { return w.Session().RunDiagnostics(path); }).value_or(0);
}

int SendCustomAtCommandEx(MxGsmHandle h, const char* command, char* response, int size) {
  if (!command) return 0;
  std::string answer;
  const auto result = Locked(h, "SendCustomAtCommand", [&](CMxGsmWrapper& w) {
    answer = w.Session().SendCustomAtCommand(command);
    return 1;
  });
  if (!result) return 0;
  if (size > 0) CopyText(answer, response, static_cast<size_t>(size));
  return 1;
}

int SendCustomAtCommand(MxGsmHandle h, const char* command, char* response) {
  return SendCustomAtCommandEx(h, command, response, FONEXA_CUSTOM_RESPONSE_SIZE);
}

int Clear(MxGsmHandle h) {
  return Locked(h, "Clear", [](CMxGsmWrapper& w) { return w.Session().Clear(); }).value_or(0);
}

int FlushComBuffers(MxGsmHandle h) {
  return Locked(h, "FlushComBuffers", [](CMxGsmWrapper& w) { return w.Session().FlushComBuffers(); }).value_or(0);
}

int GetSimPresence(MxGsmHandle h, int* present) {
  int value = 0;
  const auto result = LockedWithDevice(h, "GetSimPresence", [&](CMxGsmDevice& d) { return d.GetSimPresence(value); });
  if (!result) return 0;
  fonexa::Store(present, value);
  return *result;
}

int GetVerifyStatus(MxGsmHandle h) {
  return fonexa::WithService<CMxGsmProtection>(h, "GetVerifyStatus",
                                               [](CMxGsmProtection& p) { return p.GetVerifyStatus(); })
      .value_or(0);
}

}  // extern "C"
