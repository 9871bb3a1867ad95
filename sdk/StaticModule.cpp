// The static facade's module, protection and other members.
#include <mutex>
#include <string>

#include "StaticFacade.h"

namespace Mebrix::Fonexa {
namespace {

MxGsmHandle Instance() { return sdk::StaticFacade::Get().Instance(); }
Dynamic::Module BoundModule() { return Dynamic::Module(Dynamic::BorrowedHandle{Instance()}); }
Dynamic::Protection BoundProtection() { return Dynamic::Protection(Dynamic::BorrowedHandle{Instance()}); }

}  // namespace

int Module::Initialize(const char* text) { return sdk::StaticFacade::Get().Initialize(text); }
void Module::Uninitialize() { sdk::StaticFacade::Get().Uninitialize(); }
int Module::SwitchOn() { return BoundModule().SwitchOn(); }
int Module::SwitchOff() { return BoundModule().SwitchOff(); }
int Module::GetState(int query) { return BoundModule().GetState(query); }
int Module::GetActivity() { return BoundModule().GetActivity(); }
int Module::GetSimId(char* out) { return ::GetSimId(Instance(), out); }
int Module::GetTime(char* out) { return ::GetTime(Instance(), out); }
int Module::GetManufacturer(char* out) { return ::GetManufacturer(Instance(), out); }
int Module::GetModel(char* out) { return ::GetModel(Instance(), out); }
int Module::GetImei(char* out) { return ::GetImei(Instance(), out); }
int Module::SetTime(const char* time) { return ::SetTime(Instance(), time); }
int Module::RunDiagnostics(const char* path) { return ::RunDiagnostics(Instance(), path); }
int Module::RestoreFactorySettings() { return BoundModule().RestoreFactorySettings(); }
int Module::SendCustomAtCommand(const char* command, char* response) {
  return ::SendCustomAtCommand(Instance(), command, response);
}
int Module::Attach(const char* owner, int timeout) { return BoundModule().Attach(owner ? owner : "", timeout); }
int Module::Attach(int timeout) { return BoundModule().Attach(timeout); }
int Module::Detach() { return BoundModule().Detach(); }
int Module::OpenDebugLog(const char* path) { return ::OpenDebugLog(path); }
int Module::CloseDebugLog() { return ::CloseDebugLog(); }

int Protection::GetVerifyStatus() { return BoundProtection().GetVerifyStatus(); }
int Protection::GetPinCounter() { return BoundProtection().GetPinCounter(); }
int Protection::GetLock(int type, const char* password, int& status) {
  return ::GetLock(Instance(), type, password, &status);
}
int Protection::SetLock(int type, const char* password, int on) { return ::SetLock(Instance(), type, password, on); }
int Protection::ChangePin(int kind, const char* oldCode, const char* newCode) {
  return ::ChangePin(Instance(), kind, oldCode, newCode);
}
int Protection::AutoVerify() { return BoundProtection().AutoVerify(); }
int Protection::Verify(const char* code) { return ::Verify(Instance(), code, ""); }
int Protection::Verify(const char* code, const char* secondCode) { return ::Verify(Instance(), code, secondCode); }

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
  if (!function) return SetCodeRetrievalFunc(Instance(), nullptr);
  {
    std::lock_guard<std::mutex> guard(pinFunctionLock);
    pinFunction = function;
  }
  return SetCodeRetrievalFunc(Instance(), AskApplicationForCode);
}

int Other::CompareNumbers(const char* a, const char* b) { return ::CompareNumbers(a, b); }
int Other::CleanNumberFormat(const char* number, char* out) { return CleanFormat(number, out); }

}  // namespace Mebrix::Fonexa
