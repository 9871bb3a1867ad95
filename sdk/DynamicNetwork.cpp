// The per-instance facade's network and SIM protection services.
#include "RecordReads.h"
#include "fonexa/Fonexa.h"

namespace Mebrix::Fonexa::Dynamic {

int Network::GetSignalQuality(int& rssi) {
  int ber = 0;
  return GetSignalQuality(rssi, ber);
}
int Network::GetSignalQuality(int& rssi, int& ber) { return ::GetSignalQuality(m_handle, &rssi, &ber); }
int Network::GetRegistrationStatus(int& stat) {
  int n = 0;
  return ::GetRegistrationStatus(m_handle, &n, &stat);
}

int Network::GetCurrentOperator(NetworkEntry& entry) {
  return sdk::ReadRecord<NetworkEntry, MxOperatorRecord>(
      [this](MxOperatorRecord* r) { return ::GetCurrentOperator(m_handle, r); }, entry);
}

int Network::SetAutomaticOperator() { return ::SetAutomaticOperator(m_handle); }
int Network::SetManualOperator(int code) { return ::SetManualOperator(m_handle, code); }

int Network::ListWorldOperators(std::vector<NetworkEntry>& operators) {
  return sdk::FillList(LoadWorldWideOperatorEntries(m_handle), GetNextWorldWideOperatorEntry, operators);
}
std::optional<std::vector<Network::NetworkEntry>> Network::ListWorldOperators() {
  return sdk::ListOf<NetworkEntry>(LoadWorldWideOperatorEntries(m_handle), GetNextWorldWideOperatorEntry);
}
int Network::ListLocalOperators(std::vector<NetworkEntry>& operators) {
  return sdk::FillList(LoadLocalOperatorEntries(m_handle), GetNextLocalOperatorEntry, operators);
}
std::optional<std::vector<Network::NetworkEntry>> Network::ListLocalOperators() {
  return sdk::ListOf<NetworkEntry>(LoadLocalOperatorEntries(m_handle), GetNextLocalOperatorEntry);
}

int Protection::GetVerifyStatus() { return ::GetVerifyStatus(m_handle); }
int Protection::GetPinCounter() { return ::GetPinCounter(m_handle); }
int Protection::GetLock(int type, const std::string& password, int& status) {
  return ::GetLock(m_handle, type, password.c_str(), &status);
}
int Protection::SetLock(int type, const std::string& password, int on) {
  return ::SetLock(m_handle, type, password.c_str(), on);
}
int Protection::ChangePin(int kind, const std::string& oldCode, const std::string& newCode) {
  return ::ChangePin(m_handle, kind, oldCode.c_str(), newCode.c_str());
}
int Protection::AutoVerify() { return ::AutoVerify(m_handle); }
int Protection::Verify(const std::string& code) { return Verify(code, std::string()); }
int Protection::Verify(const std::string& code, const std::string& secondCode) {
  return ::Verify(m_handle, code.c_str(), secondCode.c_str());
}

}  // namespace Mebrix::Fonexa::Dynamic
