// The static facade's call members.
#include "RecordReads.h"
#include "StaticFacade.h"

namespace Mebrix::Fonexa {

int Call::Answer() { return sdk::Bound<Dynamic::Call>().Answer(); }
int Call::Hangup() { return sdk::Bound<Dynamic::Call>().Hangup(); }
int Call::SetupGsmAudio() { return sdk::Bound<Dynamic::Call>().SetupGsmAudio(); }
int Call::VoiceOn() { return sdk::Bound<Dynamic::Call>().VoiceOn(); }
int Call::VoiceOff() { return sdk::Bound<Dynamic::Call>().VoiceOff(); }
int Call::Dial(const char* number) { return ::Dial(sdk::FacadeInstance(), number); }
int Call::DialFromPhoneBook(int location) { return sdk::Bound<Dynamic::Call>().DialFromPhoneBook(location); }
int Call::DialFromPhoneBook(int storage, int location) {
  return sdk::Bound<Dynamic::Call>().DialFromPhoneBook(storage, location);
}
void Call::InterruptDialing() { sdk::Bound<Dynamic::Call>().InterruptDialing(); }
int Call::ManageMultiparty(int mode) { return sdk::Bound<Dynamic::Call>().ManageMultiparty(mode); }
int Call::ManageMultiparty(int mode, int index) { return sdk::Bound<Dynamic::Call>().ManageMultiparty(mode, index); }

int Call::GetCallForwarding(int reason, int callClass, int& status) {
  char number[FONEXA_FORWARDING_NUMBER_SIZE] = {};
  return GetCallForwarding(reason, callClass, status, number);
}
int Call::GetCallForwarding(int reason, int callClass, int& status, char* number) {
  int time = 0;
  return GetCallForwarding(reason, callClass, status, number, time);
}
int Call::GetCallForwarding(int reason, int callClass, int& status, char* number, int& time) {
  return ::GetCallForwarding(sdk::FacadeInstance(), reason, callClass, &status, number, &time);
}
int Call::SetCallForwarding(int reason, int callClass, int enable) {
  return sdk::Bound<Dynamic::Call>().SetCallForwarding(reason, callClass, enable);
}
int Call::SetCallForwarding(int reason, int callClass, int enable, const char* number) {
  return SetCallForwarding(reason, callClass, enable, number, 0);
}
int Call::SetCallForwarding(int reason, int callClass, int enable, const char* number, int time) {
  return ::SetCallForwarding(sdk::FacadeInstance(), reason, callClass, enable, number, time);
}
int Call::GetCallBarring(int type, int callClass, int& status) {
  return sdk::Bound<Dynamic::Call>().GetCallBarring(type, callClass, status);
}
int Call::GetCallBarring(int type, int callClass, const char* password, int& status) {
  return ::GetCallBarring(sdk::FacadeInstance(), type, callClass, password, &status);
}
int Call::SetCallBarring(int type, int callClass, int lock) {
  return sdk::Bound<Dynamic::Call>().SetCallBarring(type, callClass, lock);
}
int Call::SetCallBarring(int type, int callClass, const char* password, int lock) {
  return ::SetCallBarring(sdk::FacadeInstance(), type, callClass, password, lock);
}
int Call::GetLastCallDuration(char* out) { return ::GetLastCallDuration(sdk::FacadeInstance(), out); }
int Call::GetTotalCallDuration(char* out) { return ::GetTotalCallDuration(sdk::FacadeInstance(), out); }

int Call::ListCurrentCalls(std::vector<CallEntry>& calls) {
  return sdk::FillList(LoadCurrentCalls(sdk::FacadeInstance()), GetNextCurrentCall, calls);
}
std::optional<std::vector<Call::CallEntry>> Call::ListCurrentCalls() {
  return sdk::ListOf<CallEntry>(LoadCurrentCalls(sdk::FacadeInstance()), GetNextCurrentCall);
}

}  // namespace Mebrix::Fonexa
