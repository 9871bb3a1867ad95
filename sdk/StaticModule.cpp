// The static facade's module, protection and other members.
#include <mutex>
#include <string>

#include "StaticFacade.h"

namespace Mebrix::Fonexa {

int Module::Initialize(const char* text) { return sdk::StaticFacade::Get().Initialize(text); }
void Module::Uninitialize() { sdk::StaticFacade::Get().Uninitialize(); }
int Module::SwitchOn() { return sdk::Bound<Dynamic::Module>().SwitchOn(); }
int Module::SwitchOff() { return sdk::Bound<Dynamic::Module>().SwitchOff(); }
int Module::GetState(int query) { return sdk::Bound<Dynamic::Module>().GetState(query); }
int Module::GetActivity() { return sdk::Bound<Dynamic::Module>().GetActivity(); }
int Module::GetSimId(char* out) { return ::GetSimId(sdk::FacadeInstance(), out); }
int Module::GetTime(char* out) { return ::GetTime(sdk::FacadeInstance(), out); }
int Module::GetManufacturer(char* out) { return ::GetManufacturer(sdk::FacadeInstance(), out); }
int Module::GetModel(char* out) { return ::GetModel(sdk::FacadeInstance(), out); }
int Module::GetImei(char* out) { return ::GetImei(sdk::FacadeInstance(), out); }
int Module::SetTime(const char* time) { return ::SetTime(sdk::FacadeInstance(), time); }
int Module::RunDiagnostics(const char* path) { return ::RunDiagnostics(sdk::FacadeInstance(), path); }
int Module::RestoreFactorySettings() { return sdk::Bound<Dynamic::Module>().RestoreFactorySettings(); }
int Module::SendCustomAtCommand(const char* command, char* response) {
  return ::SendCustomAtCommand(sdk::FacadeInstance(), command, response);
}
int Module::Attach(const char* owner, int timeout) {
  return sdk::Bound<Dynamic::Module>().Attach(owner ? owner : "", timeout);
}
int Module::Attach(int timeout) { return sdk::Bound<Dynamic::Module>().Attach(timeout); }
int Module::Detach() { return sdk::Bound<Dynamic::Module>().Detach(); }
int Module::OpenDebugLog(const char* path) { return ::OpenDebugLog(path); }
int Module::CloseDebugLog() { return ::CloseDebugLog(); }

int Protection::GetVerifyStatus() { return sdk::Bound<Dynamic::Protection>().GetVerifyStatus(); }
int Protection::GetPinCounter() { return sdk::Bound<Dynamic::Protection>().GetPinCounter(); }
int Protection::GetLock(int type, const char* password, int& status) {
  return ::GetLock(sdk::FacadeInstance(), type, password, &status);
}
int Protection::SetLock(int type, const char* password, int on) {
  return ::SetLock(sdk::FacadeInstance(), type, password, on);
}
int Protection::ChangePin(int kind, const char* oldCode, const char* newCode) {
  return ::ChangePin(sdk::FacadeInstance(), kind, oldCode, newCode);
}
int Protection::AutoVerify() { return sdk::Bound<Dynamic::Protection>().AutoVerify(); }
int Protection::Verify(const char* code) { return ::Verify(sdk::FacadeInstance(), code, ""); }
int Protection::Verify(const char* code, const char* secondCode) {
  return ::Verify(sdk::FacadeInstance(), code, secondCode);
}

namespace {

// The engine asks for codes through a C function and copies the answer at
// once; this one asks the application's function and keeps its answer until
// the next question.
std::mutex pinFunctionLock;
Other::GetPinFunction pinFunction = nullptr;

const char* AskApplicationForCode(const char* caption, const char* message) {
  static std::string answer;
  std::lock_guard<std::mutex> guard(pinFunctionLock);
  if (!pinFunction) return nullptr;
  answer = pinFunction(caption ? caption : "", message ? message : "");
  return answer.c_str();
}

}  // namespace

const char* Other::GetFonexaCoreVersion() { return ::GetFonexaCoreVersion(); }

int Other::SetGetPinFunction(GetPinFunction function) {
  if (!function) return SetCodeRetrievalFunc(sdk::FacadeInstance(), nullptr);
  {
    std::lock_guard<std::mutex> guard(pinFunctionLock);
    pinFunction = function;
  }
  return SetCodeRetrievalFunc(sdk::FacadeInstance(), AskApplicationForCode);
}

int Other::CompareNumbers(const char* a, const char* b) { return ::CompareNumbers(a, b); }
int Other::CleanNumberFormat(const char* number, char* out) { return CleanFormat(number, out); }

}  // namespace Mebrix::Fonexa
