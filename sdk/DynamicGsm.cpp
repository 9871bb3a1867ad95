// The per-instance facade's instance owner and its module service.
#include <utility>

#include "TextResult.h"
#include "fonexa/Fonexa.h"

namespace Mebrix::Fonexa::Dynamic {
namespace {

MxGsmHandle HandleOf(Gsm* gsm) { return gsm ? gsm->GetGsm() : nullptr; }

}  // namespace

Gsm::Gsm() : m_handle(CreateGsmInstance()) {}

Gsm::~Gsm() {
  if (m_handle) ReleaseGsm(std::exchange(m_handle, nullptr));
}

Gsm::Gsm(Gsm&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}

Gsm& Gsm::operator=(Gsm&& other) noexcept {
  if (this != &other) {
    if (m_handle) ReleaseGsm(m_handle);
    m_handle = std::exchange(other.m_handle, nullptr);
  }
  return *this;
}

std::string Gsm::GetFonexaCoreVersion() { return ::GetFonexaCoreVersion(); }

Module::Module(Gsm* gsm) : m_handle(HandleOf(gsm)) {}
Call::Call(Gsm* gsm) : m_handle(HandleOf(gsm)) {}
Sms::Sms(Gsm* gsm) : m_handle(HandleOf(gsm)) {}
PhoneBook::PhoneBook(Gsm* gsm) : m_handle(HandleOf(gsm)) {}
Network::Network(Gsm* gsm) : m_handle(HandleOf(gsm)) {}
Protection::Protection(Gsm* gsm) : m_handle(HandleOf(gsm)) {}
Events::Events(Gsm* gsm) : m_handle(HandleOf(gsm)) {}

int Module::Initialize(const std::string& text) { return ::Initialize(m_handle, text.c_str()); }
void Module::Uninitialize() { ::Uninitialize(m_handle); }
int Module::SwitchOn() { return ::SwitchOn(m_handle); }
int Module::SwitchOff() { return ::SwitchOff(m_handle); }
int Module::GetState(int query) {
  if (query == 0) return m_handle ? 1 : 0;
  return ::GetState(m_handle, query);
}
int Module::GetActivity() { return ::GetActivity(m_handle); }

std::string Module::GetSimId() {
  return sdk::TextResult<FONEXA_SIM_ID_SIZE>([this](char* out) { return ::GetSimId(m_handle, out); });
}
std::string Module::GetTime() {
  return sdk::TextResult<FONEXA_TIME_SIZE>([this](char* out) { return ::GetTime(m_handle, out); });
}
std::string Module::GetManufacturer() {
  return sdk::TextResult<FONEXA_IDENTITY_SIZE>([this](char* out) { return ::GetManufacturer(m_handle, out); });
}
std::string Module::GetModel() {
  return sdk::TextResult<FONEXA_IDENTITY_SIZE>([this](char* out) { return ::GetModel(m_handle, out); });
}
std::string Module::GetImei() {
  return sdk::TextResult<FONEXA_IDENTITY_SIZE>([this](char* out) { return ::GetImei(m_handle, out); });
}

int Module::SetTime(const std::string& time) { return ::SetTime(m_handle, time.c_str()); }
int Module::RestoreFactorySettings() { return ::RestoreFactorySettings(m_handle); }
int Module::Attach(const std::string& owner, int timeout) {
  return ::Attach(m_handle, owner.empty() ? "CModule::Attach" : owner.c_str(), timeout);
}
int Module::Attach(int timeout) { return Attach(std::string(), timeout); }
int Module::Detach() { return ::Detach(m_handle); }
int Module::OpenDebugLog(const std::string& path) { return ::OpenDebugLog(path.c_str()); }
int Module::CloseDebugLog() { return ::CloseDebugLog(); }

}  // namespace Mebrix::Fonexa::Dynamic
