#include "services/CMxGsmNetwork.h"

#include <string>

#include "text/InformationLine.h"
#include "codec/NetworkResponses.h"
#include "session/ServiceDialogue.h"
#include "text/DebugLog.h"

using fonexa::OperatorEntry;
using fonexa::ServiceDialogue;
using fonexa::TraceLog;

namespace {

constexpr const char* kCantOpen = "ERROR:Can't open the port.";
// Scanning the bands (+COPS=?), reading the operator (+COPS?) and waiting for
// the first line of +CREG? depend on the network and may take the phone long.
constexpr uint32_t kNetworkMs = ServiceDialogue::kNetworkTimeoutMs;

std::string TokenizingReason(int missingField) {
  return "ERROR:Wrong Tokenizing:" + std::to_string(missingField) + ".";
}

// A command answered only by its final result.
int SimpleCommand(CMxGsmBasics* session, const char* scope, const std::string& command, uint32_t finalMs) {
  ServiceDialogue dialogue(session, scope);
  if (!dialogue.Open(kCantOpen)) return 0;
  dialogue.SendTraced(command);
  const std::string answer = dialogue.TracedFinal("Response", finalMs);
  if (!dialogue.IsOk(answer)) return dialogue.Exit("ERROR:Wrong Response.", 0);
  return dialogue.Exit("OK.", 1);
}

}  // namespace

int CMxGsmNetwork::GetSignalQuality(int& rssi, int& ber) {
  rssi = -1;
  ber = -1;
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmNetwork::GetSignalQuality\r\n");
  ServiceDialogue dialogue(m_session, "CMxGsmNetwork::GetSignalQuality");
  if (!dialogue.Open(kCantOpen)) return 0;
  dialogue.SendTraced("AT+CSQ\r");
  const std::string answer = dialogue.TracedFinal("Response 2");
  if (!fonexa::BeginsWith(answer, "+CSQ:")) return dialogue.Exit("ERROR:Wrong Response.", 0);
  if (const int missing = fonexa::ParseCsqResponse(answer, rssi, ber)) {
    return dialogue.Exit(TokenizingReason(missing).c_str(), 0);
  }
  TraceLog().Write("CMxGsmNetwork::GetSignalQuality>>Finish Toknizing:[%i, %i].\r\n", rssi, ber);
  const std::string final = dialogue.TracedFinal("Response 3");
  if (!dialogue.IsOk(final)) return dialogue.Exit("ERROR:Wrong Response 3.", 0);
  return dialogue.Exit("OK.", 1);
}

int CMxGsmNetwork::GetWorldWideOperatorEntries(std::vector<OperatorEntry>& list) {
  list.clear();
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmNetwork::GetWorldWideOperatorEntries\r\n");
  ServiceDialogue dialogue(m_session, "CMxGsmNetwork::GetWorldWideOperatorEntries");
  if (!dialogue.Open(kCantOpen)) return 0;
  dialogue.SendTraced("AT+COPN\r");
  const std::string first = dialogue.TracedLine("Response 1");
  if (first != "\r\n") return dialogue.Exit("ERROR:Wrong Response 1.", 0);
  for (;;) {
    const std::string line = dialogue.TracedLine("Response");
    if (line.empty()) {  // the phone fell silent part-way: keep what came
      dialogue.Close();
      return 0;
    }
    if (line == "\r\n") continue;
    // An operator line is never a final result, whatever its name holds (a
    // name with "ERROR" in it would otherwise end the listing as a failure).
    if (fonexa::CarriesMoreThan(line, "+COPN:")) {
      OperatorEntry entry;
      if (const int missing = fonexa::ParseCopnResponse(line, entry)) {
        return dialogue.Exit(TokenizingReason(missing).c_str(), 0);
      }
      list.push_back(entry);
      TraceLog().Write("CMxGsmNetwork::GetWorldWideOperatorEntries>>[%i,%s].\r\n", entry.CodeNumber,
                       entry.Name.c_str());
      continue;
    }
    if (dialogue.IsOk(line)) {
      // Phones leave the long listing's state behind; the module is reset
      // after it. The reset's own answer does not change the result.
      dialogue.Session()->Clear();
      return dialogue.Exit("OK.", 1);
    }
    if (dialogue.IsError(line)) return dialogue.Exit("ERROR.", 0);
  }
}

int CMxGsmNetwork::GetLocalOperatorEntries(std::vector<OperatorEntry>& list) {
  list.clear();
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmNetwork::GetLocalOperatorEntries\r\n");
  ServiceDialogue dialogue(m_session, "CMxGsmNetwork::GetLocalOperatorEntries");
  if (!dialogue.Open(kCantOpen)) return 0;
  dialogue.SendTraced("AT+COPS=?\r");
  const std::string first = dialogue.TracedLine("Response 1", kNetworkMs);
  if (first != "\r\n") return dialogue.Exit("ERROR:Wrong Response 1.", 0);
  const std::string line = dialogue.TracedLine("Response 2", kNetworkMs);
  if (fonexa::CarriesMoreThan(line, "+COPS:")) {
    const fonexa::CopsTestResponse response = fonexa::ParseCopsTestResponse(line);
    if (!response.operatorPart.empty()) {
      TraceLog().Write("CMxGsmNetwork::GetLocalOperatorEntries>>Operators Left:[%s].\r\n",
                       response.operatorPart.c_str());
    }
    for (const auto& op : response.operators) {
      TraceLog().Write("CMxGsmNetwork::GetLocalOperatorEntries>>Token:[%s, %s, %s].\r\n", op.first.c_str(),
                       op.second.c_str(), op.third.c_str());
      if (op.listed) list.push_back(op.entry);
    }
  }
  const std::string final = dialogue.TracedFinal("Response 3");
  if (!dialogue.IsOk(final)) return dialogue.Exit("ERROR:Wrong Response 2.", 0);
  return dialogue.Exit("OK.", 1);
}

int CMxGsmNetwork::GetCurrentOperator(OperatorEntry& entry) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmNetwork::GetCurrentOperator\r\n");
  ServiceDialogue dialogue(m_session, "CMxGsmNetwork::GetCurrentOperator");
  if (!dialogue.Open(kCantOpen)) return 0;
  dialogue.SendTraced("AT+COPS?\r");
  const std::string first = dialogue.TracedLine("Response 1", kNetworkMs);
  if (first != "\r\n") return dialogue.Exit("ERROR:Wrong Response 1.", 0);
  const std::string line = dialogue.TracedLine("Response 2", kNetworkMs);
  if (fonexa::CarriesMoreThan(line, "+COPS:")) {
    fonexa::ParseCopsReadResponse(line, entry);
    TraceLog().Write("CMxGsmNetwork::GetCurrentOperator>>Finish Tokenizing:[%s, %i, %i].\r\n", entry.Name.c_str(),
                     entry.CodeNumber, entry.Mode);
  }
  const std::string final = dialogue.TracedFinal("Response 3");
  if (!dialogue.IsOk(final)) return dialogue.Exit("ERROR:Wrong Response 2.", 0);
  return dialogue.Exit("OK.", 1);
}

int CMxGsmNetwork::SetAutomaticOperator() {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmNetwork::SetAutomaticOperator\r\n");
  return SimpleCommand(m_session, "CMxGsmNetwork::SetAutomaticOperator", "AT+COPS=0\r",
                       ServiceDialogue::kStandardTimeoutMs);
}

int CMxGsmNetwork::SetManualOperator(int code) {
  if (code <= 0 || !m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmNetwork::SetManualOperator(%i)\r\n", code);
  // The phone answers a manual selection once it has registered with the
  // network or given up, which takes longer than any local command. Giving up
  // earlier would report a failure while the phone goes on selecting, and
  // leave its late answer on the line for the next command to read.
  return SimpleCommand(m_session, "CMxGsmNetwork::SetManualOperator", "AT+COPS=1,2," + std::to_string(code) + "\r",
                       kNetworkMs);
}

int CMxGsmNetwork::EnableNetworkEvents(int enable) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmNetwork::EnableNetworkEvents(%d)\r\n", enable);
  return SimpleCommand(m_session, "CMxGsmNetwork::EnableNetworkEvents", enable ? "AT+CREG=1\r" : "AT+CREG=0\r",
                       ServiceDialogue::kStandardTimeoutMs);
}

int CMxGsmNetwork::GetRegistrationStatus(int& n, int& stat) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmNetwork::GetRegistrationStatus\r\n");
  ServiceDialogue dialogue(m_session, "CMxGsmNetwork::GetRegistrationStatus");
  if (!dialogue.Open(kCantOpen)) return 0;
  dialogue.SendTraced("AT+CREG?\r");
  const std::string first = dialogue.TracedLine("Response 1", kNetworkMs);
  if (first != "\r\n") return dialogue.Exit("ERROR:Wrong Response 1.", 0);
  const std::string line = dialogue.TracedLine("Response 2");
  if (!fonexa::BeginsWith(line, "+CREG:")) return dialogue.Exit("ERROR:Wrong Response 2.", 0);
  fonexa::ParseCregReadResponse(line, n, stat);
  TraceLog().Write("CMxGsmNetwork::GetRegistrationStatus>>End Tokenizing[%d,%d].\r\n", n, stat);
  const std::string final = dialogue.TracedFinal("Response 3");
  if (!dialogue.IsOk(final)) return dialogue.Exit("ERROR:Wrong Response 3.", 0);
  return dialogue.Exit("OK.", 1);
}
