// CMxGsmWrapper: the instance behind every exported phone function.
//
// The handle applications hold is this object's address. It embeds the modem
// session, follows the module through its states, answers the module-state
// event by bringing the phone up, and runs the background monitor that polls
// for signal, new messages and registration.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "fonexa/CMxGsmBasics.h"
#include "fonexa/FonexaCore.h"
#include "fonexa/IMxGsmHandler.h"
#include "wrapper/InstanceUseLock.h"

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

  // Re-initialisation: each holds the instance exclusively (see InstanceUseLock).
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

  // Claims the release of the instance created last: true for one caller only,
  // however many threads ask at once, until the next instance is created.
  static bool ClaimRelease();
  // Sets the stop event and destroys the instance once nobody uses it any more.
  // A thread that is itself inside the instance (an event handler run by an
  // export or by the monitor) cannot wait for itself: then the monitor thread
  // destroys the instance when it ends, and this returns at once.
  static void Release(CMxGsmWrapper* instance);

  // Exports and the monitor hold it shared, re-initialisation and release exclusively.
  fonexa::InstanceUseLock& UseLock() { return m_useLock; }
  CMxGsmBasics& Session() { return m_session; }
  int ModuleState() const { return m_moduleState; }
  void SetModuleState(int state) { m_moduleState = state; }
  // Raises an event through the session's dispatch, on this thread.
  void Raise(uint32_t eventId, uint32_t value) { m_session._TranslateEvent(eventId, "", value); }

 private:
  void RunMonitor();
  void PollOnce(int cycle, int& errors, int& lastRegistration);
  bool IsPowered() { return m_session.IsModulePowerOn(0) != 0; }
  // Waits until every other user has left, takes the session lock and deletes.
  static void Destroy(CMxGsmWrapper* instance);

  fonexa::InstanceUseLock m_useLock;
  // Written by the verification thread when the SIM becomes ready, read by
  // every export.
  std::atomic<int> m_moduleState{kCreated};
  CMxGsmBasics m_session;
  std::string m_initText;
  // Started by whichever thread first raises the module's readiness (an
  // export, the verification thread), taken by the destructor.
  std::atomic<fonexa::platform::WorkerThread*> m_monitorThread{nullptr};
  CodeRetrievalFunc m_codeRetrievalFunc = nullptr;
  std::atomic<std::thread::id> m_monitorThreadId{};
  // Set by a release that had to leave the destruction to the monitor thread.
  std::atomic<bool> m_destroyWhenMonitorEnds{false};
};
