// The per-instance facade's call service.
#include "RecordReads.h"
#include "TextResult.h"
#include "fonexa/Fonexa.h"

namespace Mebrix::Fonexa::Dynamic {

int Call::Answer() { return ::Answer(m_handle); }
int Call::Hangup() { return ::Hangup(m_handle); }
int Call::SetupGsmAudio() { return ::SetupGsmAudio(m_handle); }
int Call::VoiceOn() { return ::VoiceOn(m_handle); }
int Call::VoiceOff() { return ::VoiceOff(m_handle); }
int Call::Dial(const std::string& number) { return ::Dial(m_handle, number.c_str()); }
int Call::DialFromPhoneBook(int location) { return ::DialFromPhoneBook(m_handle, location, -1); }
int Call::DialFromPhoneBook(int storage, int location) { return ::DialFromPhoneBook(m_handle, storage, location); }
void Call::InterruptDialing() { ::InterruptDialing(m_handle); }
int Call::ManageMultiparty(int mode) { return ::ManageMultiparty(m_handle, mode, -1); }
int Call::ManageMultiparty(int mode, int index) { return ::ManageMultiparty(m_handle, mode, index); }

int Call::GetCallForwarding(int reason, int callClass, int& status) {
  std::string number;
  int time = 0;
  return GetCallForwarding(reason, callClass, status, number, time);
}

int Call::GetCallForwarding(int reason, int callClass, int& status, std::string& number) {
  int time = 0;
  return GetCallForwarding(reason, callClass, status, number, time);
}

int Call::GetCallForwarding(int reason, int callClass, int& status, std::string& number, int& time) {
  char buffer[FONEXA_FORWARDING_NUMBER_SIZE] = {};
  const int result = ::GetCallForwarding(m_handle, reason, callClass, &status, buffer, &time);
  number = buffer;
  return result;
}

int Call::SetCallForwarding(int reason, int callClass, int enable) {
  return SetCallForwarding(reason, callClass, enable, std::string(), 0);
}
int Call::SetCallForwarding(int reason, int callClass, int enable, const std::string& number) {
  return SetCallForwarding(reason, callClass, enable, number, 0);
}
int Call::SetCallForwarding(int reason, int callClass, int enable, const std::string& number, int time) {
  return ::SetCallForwarding(m_handle, reason, callClass, enable, number.c_str(), time);
}

int Call::GetCallBarring(int type, int callClass, int& status) {
  return GetCallBarring(type, callClass, std::string(), status);
}
int Call::GetCallBarring(int type, int callClass, const std::string& password, int& status) {
  return ::GetCallBarring(m_handle, type, callClass, password.c_str(), &status);
}
int Call::SetCallBarring(int type, int callClass, int lock) {
  return SetCallBarring(type, callClass, std::string(), lock);
}
int Call::SetCallBarring(int type, int callClass, const std::string& password, int lock) {
  return ::SetCallBarring(m_handle, type, callClass, password.c_str(), lock);
}

std::string Call::GetLastCallDuration() {
  return sdk::TextResult<FONEXA_CALL_DURATION_SIZE>([this](char* out) { return ::GetLastCallDuration(m_handle, out); });
}
std::string Call::GetTotalCallDuration() {
  return sdk::TextResult<FONEXA_CALL_DURATION_SIZE>(
      [this](char* out) { return ::GetTotalCallDuration(m_handle, out); });
}

int Call::ListCurrentCalls(std::vector<CallEntry>& calls) {
  return sdk::FillList(LoadCurrentCalls(m_handle), GetNextCurrentCall, calls);
}
std::optional<std::vector<Call::CallEntry>> Call::ListCurrentCalls() {
  return sdk::ListOf<CallEntry>(LoadCurrentCalls(m_handle), GetNextCurrentCall);
}

}  // namespace Mebrix::Fonexa::Dynamic
