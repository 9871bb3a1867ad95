// The static facade's call members.
#include "RecordReads.h"
#include "StaticFacade.h"

namespace Mebrix::Fonexa {
namespace {

MxGsmHandle Instance() { return sdk::StaticFacade::Get().Instance(); }
Dynamic::Call Bound() { return Dynamic::Call(Dynamic::BorrowedHandle{Instance()}); }

}  // namespace

int Call::Answer() { return Bound().Answer(); }
int Call::Hangup() { return Bound().Hangup(); }
int Call::SetupGsmAudio() { return Bound().SetupGsmAudio(); }
int Call::VoiceOn() { return Bound().VoiceOn(); }
int Call::VoiceOff() { return Bound().VoiceOff(); }
int Call::Dial(const char* number) { return ::Dial(Instance(), number); }
int Call::DialFromPhoneBook(int location) { return Bound().DialFromPhoneBook(location); }
int Call::DialFromPhoneBook(int storage, int location) { return Bound().DialFromPhoneBook(storage, location); }
void Call::InterruptDialing() { Bound().InterruptDialing(); }
int Call::ManageMultiparty(int mode) { return Bound().ManageMultiparty(mode); }
int Call::ManageMultiparty(int mode, int index) { return Bound().ManageMultiparty(mode, index); }

int Call::GetCallForwarding(int reason, int callClass, int& status) {
  char number[FONEXA_FORWARDING_NUMBER_SIZE] = {};
  return GetCallForwarding(reason, callClass, status, number);
}
int Call::GetCallForwarding(int reason, int callClass, int& status, char* number) {
  int time = 0;
  return GetCallForwarding(reason, callClass, status, number, time);
}
int Call::GetCallForwarding(int reason, int callClass, int& status, char* number, int& time) {
  return ::GetCallForwarding(Instance(), reason, callClass, &status, number, &time);
}
int Call::SetCallForwarding(int reason, int callClass, int enable) {
  return Bound().SetCallForwarding(reason, callClass, enable);
}
int Call::SetCallForwarding(int reason, int callClass, int enable, const char* number) {
  return SetCallForwarding(reason, callClass, enable, number, 0);
}
int Call::SetCallForwarding(int reason, int callClass, int enable, const char* number, int time) {
  return ::SetCallForwarding(Instance(), reason, callClass, enable, number, time);
}
int Call::GetCallBarring(int type, int callClass, int& status) {
  return Bound().GetCallBarring(type, callClass, status);
}
int Call::GetCallBarring(int type, int callClass, const char* password, int& status) {
  return ::GetCallBarring(Instance(), type, callClass, password, &status);
}
int Call::SetCallBarring(int type, int callClass, int lock) { return Bound().SetCallBarring(type, callClass, lock); }
int Call::SetCallBarring(int type, int callClass, const char* password, int lock) {
  return ::SetCallBarring(Instance(), type, callClass, password, lock);
}
int Call::GetLastCallDuration(char* out) { return ::GetLastCallDuration(Instance(), out); }
int Call::GetTotalCallDuration(char* out) { return ::GetTotalCallDuration(Instance(), out); }

int Call::ListCurrentCalls(std::vector<CallEntry>& calls) {
  return sdk::FillList(LoadCurrentCalls(Instance()), GetNextCurrentCall, calls);
}
std::optional<std::vector<Call::CallEntry>> Call::ListCurrentCalls() {
  return sdk::ListOf<CallEntry>(LoadCurrentCalls(Instance()), GetNextCurrentCall);
}

}  // namespace Mebrix::Fonexa
