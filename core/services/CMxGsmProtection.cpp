#include "services/CMxGsmProtection.h"

#include "codec/SimResponses.h"
#include "session/ServiceDialogue.h"
#include "text/DebugLog.h"

using fonexa::Discipline;
using fonexa::ServiceDialogue;
using fonexa::TraceLog;
using fonexa::Untraced;

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
