// CMxGsmWrapper: the instance behind every exported phone function.
//
// The handle applications hold is this object's address. It embeds the modem
// session, follows the module through its states, answers the module-state
// event by bringing the phone up, and runs the background monitor that polls
// for signal, new messages and registration.
#pragma once

#include <cstdint>
#include <string>

#include "fonexa/CMxGsmBasics.h"
#include "fonexa/FonexaCore.h"
#include "fonexa/IMxGsmHandler.h"

namespace fonexa::platform {
class WorkerThread;
}

class CMxGsmWrapper : public IMxGsmHandler {
 public:
  enum ModuleState { kCreated = 1, kInitialized = 2, kVerifying = 3, kReady = 4 };

  static constexpr uint32_t kExportLockMs = 10000;

  // Resets the stop event and registers for the module-state event, which
  // starts the background monitor with its gate closed.
  CMxGsmWrapper();
  ~CMxGsmWrapper() override;
  CMxGsmWrapper(const CMxGsmWrapper&) = delete;
  CMxGsmWrapper& operator=(const CMxGsmWrapper&) = delete;

  // The instance's event operation: reacts to the module-state event only.
  int OnEvent(uint32_t eventId, const std::string& text, uint32_t value) override {
    return TranslateEvent(eventId, text, value);
  }
  int TranslateEvent(uint32_t eventId, const std::string& text, uint32_t value);

  // The instance lock: refused while not initialised, while verifying, and while
  // the module is off; otherwise the session's lock.
  int Attach(const std::string& ownerName, uint32_t timeoutMs);
  int Detach();

  int Initialize(const std::string& text);
  int SwitchModuleOn();
  int SwitchModuleOff();
  int GetModuleState(int query);

  // The PIN entry flow: asks for the PIN (or the PUK and a new PIN) until the
  // SIM is ready or the user cancels. 1 when the SIM is ready or a code was
  // accepted, else 0.
  int VerifySimPIN();
  // The code the user entered, "" for cancel: from the installed retrieval
  // function, else from the built-in prompt.
  std::string GetCode(const std::string& caption, const std::string& message);
  // A new PIN of 4 to 8 characters entered twice alike; "" for cancel.
  std::string GetNewPin(const std::string& message);
  // A null function leaves the one installed before.
  int SetCodeRetrievalFunc(CodeRetrievalFunc function);

  uint32_t RegisterEvent(uint32_t eventId, IMxGsmHandler* handler);
  uint32_t RegisterEvent(uint32_t eventId, MxWindow window);
  void _ResumeGsmThread();
  void _SuspendGsmThread();

  CMxGsmBasics& Session() { return m_session; }
  int ModuleState() const { return m_moduleState; }
  void SetModuleState(int state) { m_moduleState = state; }
  // Raises an event through the session's dispatch, on this thread.
  void Raise(uint32_t eventId, uint32_t value) { m_session._TranslateEvent(eventId, "", value); }

 private:
  void RunMonitor();
  bool IsPowered() { return m_session.IsModulePowerOn(0) != 0; }

  int m_moduleState = kCreated;
  CMxGsmBasics m_session;
  std::string m_initText;
  fonexa::platform::WorkerThread* m_monitorThread = nullptr;
  CodeRetrievalFunc m_codeRetrievalFunc = nullptr;
};
