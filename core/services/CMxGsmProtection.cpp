#include "services/CMxGsmProtection.h"

#include <mutex>
#include <string>

#include "codec/CallResponses.h"
#include "codec/SimResponses.h"
#include "fonexa/CMxGsmBasics.h"
#include "platform/ManualResetEvent.h"
#include "platform/ThreadSlot.h"
#include "services/TelephonyRows.h"
#include "session/ServiceDialogue.h"
#include "text/DebugLog.h"
#include "text/PhoneNumber.h"

using fonexa::DialogueRow;
using fonexa::Discipline;
using fonexa::Dotted;
using fonexa::InfoRead;
using fonexa::Refused;
using fonexa::ServiceDialogue;
using fonexa::TraceLog;
using fonexa::Understood;
using fonexa::Untraced;
using fonexa::WhenAbsent;

namespace {

struct PinState {
  const char* first;
  const char* second;  // null: any second word
  int status;
};

// The +CPIN answers of GSM 07.07, in the order they are tested.
const PinState kPinStates[] = {
    {"READY", nullptr, 1},   {"SIM", "PIN", 2},      {"SIM", "PUK", 3},      {"SIM", "PIN2", 4},
    {"SIM", "PUK2", 5},      {"PH-SIM", "PIN", 6},   {"PH-SIM", "PUK", 7},   {"PH-FSIM", "PIN", 8},
    {"PH-FSIM", "PUK", 9},   {"PH-NET", "PIN", 10},  {"PH-NET", "PUK", 11},  {"PH-NS", "PIN", 12},
    {"PH-NS", "PUK", 13},    {"PH-SP", "PIN", 14},   {"PH-SP", "PUK", 15},   {"PH-C", "PIN", 16},
    {"PH-C", "PUK", 17},
};

}  // namespace

int CMxGsmProtection::VerifyStatusOf(const std::string& firstWord, const std::string& secondWord) {
  for (const auto& state : kPinStates) {
    if (firstWord == state.first && (!state.second || secondWord == state.second)) return state.status;
  }
  return kStatusUnknown;
}

int CMxGsmProtection::GetVerifyStatus() {
  if (!m_session) return kStatusUnknown;
  TraceLog().Write("\r\n-->CMxGsmProtection::GetVerifyStatus()\r\n");
  return ServiceDialogue(m_session).Query(
      {.scope = "CMxGsmProtection::GetVerifyStatus",
       .command = "AT+CPIN?\r",
       .discipline = Discipline::OpenedForOperation,
       .notOpened = "ERROR:Can't open the port",
       .notOpenedResult = kStatusNotRead,
       .failed = kStatusNotRead,
       .prefix = "+CPIN:",
       .send = Untraced(),
       .echo = Untraced(),
       .first = Untraced(),
       .info = Untraced(),
       .final = Untraced(),
       .wrongFirst = "ERROR:Wrong response",
       .wrongInfo = "ERROR:Wrong response",
       .wrongFinal = "ERROR:Wrong response",
       .ok = "OK"},
      [](const std::string& line) {
        std::string first;
        std::string second;
        if (fonexa::ParseCpinReadResponse(line, first, second)) return fonexa::Refused("ERROR:Wrong Tokenizing:1.");
        TraceLog().Write("CMxGsmProtection::GetVerifyStatus>>Status:[%s], Pin:[%s]\r\n", first.c_str(),
                         second.c_str());
        fonexa::Verdict verdict;
        verdict.okResult = VerifyStatusOf(first, second);
        return verdict;
      });
}

// ---- Codes and locks ------------------------------------------------------------

namespace {

constexpr const char* kCantOpen = "ERROR:Can't open the port";
// A SIM checks a code in its own time; some take many seconds.
constexpr uint32_t kCodeMs = 60000;
// How long StartVerify waits to hear of a failure before it reports the
// verification as under way.
constexpr uint32_t kVerifyWaitMs = 3000;

// The facility of each code kind of +CPWD, by kind / 2 - 1.
const char* const kCodeFacilities[] = {"SC", "P2", "PS", "PF", "PN", "PU", "PP", "PC"};

// What StartVerify hands to the verification thread.
struct Verification {
  std::mutex lock;
  std::string code;
  std::string newCode;
  fonexa::platform::ManualResetEvent failed;
  fonexa::platform::ThreadSlot thread;
};

Verification& Pending() {
  static Verification verification;
  return verification;
}

void VerifyThread(CMxGsmBasics* session) {
  TraceLog().Write("\r\n==>Starting thread[_MxGsmVerifyThread]\r\n");
  std::string code;
  std::string newCode;
  {
    std::lock_guard<std::mutex> guard(Pending().lock);
    code = Pending().code;
    newCode = Pending().newCode;
  }
  if (CMxGsmProtection(session).Verify(code, newCode)) {
    session->_TranslateEvent(CMxGsmBasics::kEventModuleState, "", 1);
  } else {
    Pending().failed.Set();
  }
  TraceLog().Write("\r\n<==Terminating thread[_MxGsmVerifyThread]\r\n");
}

}  // namespace

int CMxGsmProtection::Verify(const std::string& code, const std::string& newCode) {
  if (!m_session || code.empty()) return 0;
  TraceLog().Write("\r\n-->CMxGsmProtection::Verify(%s, %s)\r\n", code.c_str(), newCode.c_str());
  ServiceDialogue dialogue(m_session);
  DialogueRow row = fonexa::OpenedRow(
      "CMxGsmProtection::Verify",
      newCode.empty() ? "AT+CPIN=" + code + "\r" : "AT+CPIN=" + code + "," + newCode + "\r", kCantOpen);
  if (!fonexa::IsDigitCode(code) || !fonexa::IsDigitCode(newCode)) {
    return fonexa::RefuseBeforeSending(dialogue, row, "ERROR:Wrong code.");
  }
  row.finalMs = kCodeMs;
  row.wrongFinal = "ERROR";
  row.ok = "OK";
  return dialogue.Command(row);
}

int CMxGsmProtection::StartVerify(const ModuleStateSetter& instance, const std::string& code,
                                  const std::string& newCode) {
  if (!m_session) return 0;
  // A code that can never be sent is refused here and now, by Verify's own
  // check, before the instance is marked as verifying: a ready phone stays
  // ready, as nothing reached it.
  if (!fonexa::IsDigitCode(code) || !fonexa::IsDigitCode(newCode)) return Verify(code, newCode);
  // The verification before has ended or is ending: its thread goes first.
  Pending().thread.WaitUntilEmpty();
  {
    std::lock_guard<std::mutex> guard(Pending().lock);
    Pending().failed.Reset();
    Pending().code = code;
    Pending().newCode = newCode;
  }
  if (instance) instance(kModuleVerifying);
  CMxGsmBasics* session = m_session;
  Pending().thread.Start([session] { VerifyThread(session); });
  if (!Pending().failed.Wait(kVerifyWaitMs)) return 1;
  if (instance) instance(kModuleInitialized);
  return 0;
}

void CMxGsmProtection::WaitForVerification() { Pending().thread.WaitUntilEmpty(); }

int CMxGsmProtection::ChangePinCode(int kind, const std::string& oldCode, const std::string& newCode) {
  if (!m_session || oldCode.empty() || newCode.empty()) return 0;
  const bool known = kind >= 2 && kind <= 16 && kind % 2 == 0;
  const std::string facility = known ? kCodeFacilities[kind / 2 - 1] : "";
  TraceLog().Write("\r\n-->CMxGsmProtection::ChangePinCode(%s, %s, %s)\r\n", facility.c_str(), oldCode.c_str(),
                   newCode.c_str());
  if (facility.empty()) return 0;
  ServiceDialogue dialogue(m_session);
  DialogueRow row =
      fonexa::OpenedRow("CMxGsmProtection::ChangePinCode",
                        "AT+CPWD=\"" + facility + "\"," + oldCode + "," + newCode + "\r", kCantOpen);
  if (!fonexa::IsDigitCode(oldCode) || !fonexa::IsDigitCode(newCode)) return fonexa::RefuseBeforeSending(dialogue, row, "ERROR:Wrong code.");
  row.ok = "OK";
  return dialogue.Command(row);
}

int CMxGsmProtection::_GetFacilityLock(const std::string& facility, const std::string& password, int callClass,
                                       int& status) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmProtection::_GetFacilityLock\r\n");
  status = 0;
  ServiceDialogue dialogue(m_session);
  std::string command = "AT+CLCK=\"" + facility + "\",2," + password;
  if (callClass >= 1) command += "," + std::to_string(callClass);
  DialogueRow row = fonexa::NeedsOpenRow("CMxGsmProtection::_GetFacilityLock", command + "\r");
  if (callClass < 0 || (callClass & (callClass - 1)) != 0) {
    return fonexa::RefuseBeforeSending(dialogue, row, "ERROR:Wrong parameter nClass[" + std::to_string(callClass) + "].");
  }
  if (!fonexa::IsDigitCode(password)) return fonexa::RefuseBeforeSending(dialogue, row, "ERROR:Wrong password.");
  row.infoRead = InfoRead::Final;
  row.infoMs = kCodeMs;
  row.prefix = "+CLCK:";
  row.absent = WhenAbsent::Taken;  // judged below: the answer must hold "+CLCK:" somewhere
  row.info = Dotted("Response 1");
  row.final = Dotted("Response 2");
  return dialogue.Query(row, [&status](const std::string& answer) {
    if (answer.find("+CLCK:") == std::string::npos) return Refused("ERROR:Wrong response[" + answer + "].");
    if (!fonexa::ParseClckQueryResponse(answer, status)) return Refused("ERROR:No more tokens.");
    TraceLog().Write("CMxGsmProtection::_GetFacilityLock>>Finished tokenizing[%d]\r\n", status);
    return Understood();
  });
}

int CMxGsmProtection::_SetFacilityLock(const std::string& facility, const std::string& password, int callClass,
                                       int lock) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmProtection::_SetFacilityLock\r\n");
  ServiceDialogue dialogue(m_session);
  std::string command = "AT+CLCK=\"" + facility + "\"," + (lock ? "1" : "0") + "," + password;
  if (callClass >= 1) command += "," + std::to_string(callClass);
  DialogueRow row = fonexa::NeedsOpenRow("CMxGsmProtection::_SetFacilityLock", command + "\r");
  if (!fonexa::IsDigitCode(password)) return fonexa::RefuseBeforeSending(dialogue, row, "ERROR:Wrong password.");
  row.finalMs = kCodeMs;
  return dialogue.Command(row);
}

namespace {
const char* LockFacility(int type) {
  switch (type) {
    case 1:
      return "SC";
    case 2:
      return "FD";
    default:
      return nullptr;
  }
}
}  // namespace

int CMxGsmProtection::GetLock(int type, const std::string& password, int& status) {
  const char* facility = LockFacility(type);
  return facility ? _GetFacilityLock(facility, password, 0, status) : 0;
}

int CMxGsmProtection::SetLock(int type, const std::string& password, int lock) {
  const char* facility = LockFacility(type);
  return facility ? _SetFacilityLock(facility, password, 0, lock) : 0;
}
