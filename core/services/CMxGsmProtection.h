// CMxGsmProtection: SIM security over one modem session.
#pragma once

#include <functional>
#include <string>

class CMxGsmBasics;

class CMxGsmProtection {
 public:
  // Status codes of GetVerifyStatus.
  enum VerifyStatus {
    kStatusNotRead = -1,
    kStatusUnknown = 0,
    kStatusReady = 1,
    kStatusSimPin = 2,
    kStatusSimPuk = 3,
  };

  explicit CMxGsmProtection(CMxGsmBasics* session) : m_session(session) {}
  virtual ~CMxGsmProtection() = default;

  // Which code the phone waits for (1 ready, 2..17 a code, 0 not recognised),
  // or -1 when the status could not be read.
  int GetVerifyStatus();

  // The status code for the two words of a "+CPIN:" answer.
  static int VerifyStatusOf(const std::string& firstWord, const std::string& secondWord);

  // Module states a verification moves an instance through.
  static constexpr int kModuleInitialized = 2;
  static constexpr int kModuleVerifying = 3;
  // Sets the module state of the instance a verification runs for.
  using ModuleStateSetter = std::function<void(int state)>;

  // +CPIN=<code>[,<new code>]: enters a code (with a new code: the code is the
  // PUK and the new code the PIN it sets). Codes are digits only. 1 OK, 0 not.
  int Verify(const std::string& code, const std::string& newCode);
  // Runs Verify on a thread of its own, as phones may take long to accept a
  // code, and waits up to 3000 ms for it to fail: 0 when it failed in that
  // time (the instance, if one is given, is back in state 2), else 1 (state 3
  // until the module-state event of the thread's success is handled).
  int StartVerify(const ModuleStateSetter& instance, const std::string& code, const std::string& newCode);
  // +CPWD for the code kinds 2, 4, ..., 16 (SC, P2, PS, PF, PN, PU, PP, PC).
  int ChangePinCode(int kind, const std::string& oldCode, const std::string& newCode);
  // +CLCK mode 2 for one facility; status 1 locked, 0 unlocked. The class may
  // have at most one bit set; 0 leaves it out.
  int _GetFacilityLock(const std::string& facility, const std::string& password, int callClass, int& status);
  // +CLCK mode 1 (any non-zero lock) or 0.
  int _SetFacilityLock(const std::string& facility, const std::string& password, int callClass, int lock);
  // Lock types 1 "SC" (PIN at power-up) and 2 "FD" (fixed dialling).
  int GetLock(int type, const std::string& password, int& status);
  int SetLock(int type, const std::string& password, int lock);

  // Waits until a verification thread still running has ended, for the
  // instance teardown.
  static void WaitForVerification();

 private:
  CMxGsmBasics* m_session;
};
