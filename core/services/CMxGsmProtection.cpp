#include "services/CMxGsmProtection.h"

#include "session/ServiceDialogue.h"
#include "text/DebugLog.h"
#include "text/ResponseTokenizer.h"

using fonexa::ResponseTokenizer;
using fonexa::ServiceDialogue;
using fonexa::TraceLog;

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
  ServiceDialogue dialogue(m_session, "CMxGsmProtection::GetVerifyStatus");
  if (!dialogue.Open("ERROR:Can't open the port")) return kStatusNotRead;
  dialogue.Send("AT+CPIN?\r");
  if (dialogue.Line() != "\r\n") return dialogue.Exit("ERROR:Wrong response", kStatusNotRead);
  const std::string line = dialogue.Line();
  if (line.size() <= 6 || line.compare(0, 6, "+CPIN:") != 0) {
    return dialogue.Exit("ERROR:Wrong response", kStatusNotRead);
  }
  ResponseTokenizer words(line.substr(7), false, " \"\r\n");
  if (!words.HasMoreTokens()) return dialogue.Exit("ERROR:Wrong Tokenizing:1.", kStatusNotRead);
  const std::string first = words.NextToken();
  const std::string second = words.NextToken();
  TraceLog().Write("CMxGsmProtection::GetVerifyStatus>>Status:[%s], Pin:[%s]\r\n", first.c_str(), second.c_str());
  const std::string final = dialogue.Final();
  if (!dialogue.IsOk(final)) return dialogue.Exit("ERROR:Wrong response", kStatusNotRead);
  return dialogue.Exit("OK", VerifyStatusOf(first, second));
}
