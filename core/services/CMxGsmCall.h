// CMxGsmCall: voice calls over one modem session: dialling (on a thread of its
// own, the outcome raised as the dial-end event), answering, hanging up, the
// activity status, caller identification, the current-call list, multiparty
// calls, and the supplementary services call forwarding and call barring.
#pragma once

#include <string>
#include <vector>

#include "codec/CallEntry.h"

class CMxGsmBasics;

class CMxGsmCall {
 public:
  // Outcomes of Dial, the value of the dial-end event.
  enum DialResult { kDialFailed = -1, kDialOk = 0, kDialBusy = 1, kDialNoDialTone = 2, kDialNoCarrier = 3 };

  // Making a call object starts the process's call tracking on this session
  // when it does not run yet.
  explicit CMxGsmCall(CMxGsmBasics* session);
  virtual ~CMxGsmCall();
  CMxGsmCall(const CMxGsmCall&) = delete;
  CMxGsmCall& operator=(const CMxGsmCall&) = delete;

  // Starts a dial thread; 1 started, 0 without a session, with a number that
  // is no dial string, or while another dial runs anywhere in the process.
  int StartDial(const std::string& number);
  // The same for a phone-book location: "ATD>" + storage name + location + ";",
  // or with an empty storage name "ATD>" + location + ";" in the current one.
  int StartDialFromPhoneBook(const std::string& storageName, int location);
  // Runs on the dial thread with the session lock held: "ATD<number>;".
  int Dial(const std::string& number);
  int Answer();
  int Hangup();
  // The +CPAS activity value, -1 on failure.
  int GetActivityStatus();
  int SetClip(int enable);
  // +CLIR=1 hides this phone's number from the called party; +CLIR=0 leaves
  // it to the subscription.
  int SetClir(int enable);
  int GetCurrentCalls(std::vector<fonexa::CallEntry>& list);
  int ManageMultipartyCall(int mode, int index);

  // Supplementary services.
  int GetCallForwarding(int reason, int callClass, int& status, std::string& number, int& time);
  int SetCallForwarding(int reason, int callClass, int enable, const std::string& number, int time);
  int GetCallBarring(int type, int callClass, const std::string& password, int& status);
  int SetCallBarring(int type, int callClass, const std::string& password, int lock);

  // Whether a dial thread runs in the process.
  static bool IsDialling();
  // Waits until a running dial thread has ended, for the instance teardown.
  static void WaitForDial();

 private:
  int StartDialCommand(const std::string& command);

  CMxGsmBasics* m_session;
};
