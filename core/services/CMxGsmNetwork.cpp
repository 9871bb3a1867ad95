#include "services/CMxGsmNetwork.h"

#include <string>

#include "codec/NetworkResponses.h"
#include "session/ServiceDialogue.h"
#include "text/DebugLog.h"

using fonexa::Discipline;
using fonexa::Dotted;
using fonexa::InfoRead;
using fonexa::OperatorEntry;
using fonexa::PrefixRule;
using fonexa::ServiceDialogue;
using fonexa::TraceLog;
using fonexa::Verdict;
using fonexa::WhenAbsent;

namespace {

constexpr const char* kCantOpen = "ERROR:Can't open the port.";
// Scanning the bands (+COPS=?), reading the operator (+COPS?) and waiting for
// the first line of +CREG? depend on the network and may take the phone long.
constexpr uint32_t kNetworkMs = ServiceDialogue::kNetworkTimeoutMs;

// The list of every operator a phone carries (+COPN) has some hundreds of
// entries on the phones we know; a listing is cut at this many, and given
// this long in all: one +COPN line takes the line about 30 ms at 9600 baud.
constexpr size_t kMaxWorldWideOperators = 2000;
constexpr uint32_t kWorldWideDeadlineMs = 3000 + kMaxWorldWideOperators * 100;
// The networks in reach (+COPS=?) are a handful at any place; an answer with
// more than this many is not believed.
constexpr size_t kMaxLocalOperators = 64;

// The rows of the network service: opened for the operation, traced as
// "Send:[...].", "Response 1", "Response 2", "Response 3".
fonexa::DialogueRow Row(const char* scope, std::string command) {
  return {.scope = scope,
          .command = std::move(command),
          .discipline = Discipline::OpenedForOperation,
          .notOpened = kCantOpen};
}

// A command answered only by its final result.
int SimpleCommand(CMxGsmBasics* session, const char* scope, std::string command, uint32_t finalMs) {
  fonexa::DialogueRow row = Row(scope, std::move(command));
  row.finalMs = finalMs;
  row.final = Dotted("Response");
  row.wrongFinal = "ERROR:Wrong Response.";
  return ServiceDialogue(session).Command(row);
}

// "+COPS=?" and "+COPS?": both lines wait for the network; a line that is
// not "+COPS:" is not parsed and the final result decides.
fonexa::DialogueRow OperatorRow(const char* scope, std::string command) {
  fonexa::DialogueRow row = Row(scope, std::move(command));
  row.firstMs = kNetworkMs;
  row.infoMs = kNetworkMs;
  row.prefix = "+COPS:";
  row.absent = WhenAbsent::Skipped;
  row.wrongFinal = "ERROR:Wrong Response 2.";
  return row;
}

// "+CREG: <stat>,"<lac>","<ci>"": the registration code with location, which
// shares its prefix with the +CREG? answer ("+CREG: <n>,<stat>[,...]") and is
// told from it by its quoted second field.
bool IsLocationReport(const std::string& line) {
  const size_t comma = line.find(',');
  return comma != std::string::npos && comma + 1 < line.size() && line[comma + 1] == '"';
}

}  // namespace

int CMxGsmNetwork::GetSignalQuality(int& rssi, int& ber) {
  rssi = -1;
  ber = -1;
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmNetwork::GetSignalQuality\r\n");
  fonexa::DialogueRow row = Row("CMxGsmNetwork::GetSignalQuality", "AT+CSQ\r");
  row.infoRead = InfoRead::Final;
  row.prefix = "+CSQ:";
  row.rule = PrefixRule::BeginsWith;
  row.wrongInfo = "ERROR:Wrong Response.";
  return ServiceDialogue(m_session).Query(row, [&](const std::string& line) {
    if (const int missing = fonexa::ParseCsqResponse(line, rssi, ber)) return fonexa::Refused(fonexa::TokenizingReason(missing));
    TraceLog().Write("CMxGsmNetwork::GetSignalQuality>>Finish Toknizing:[%i, %i].\r\n", rssi, ber);
    return fonexa::Understood();
  });
}

int CMxGsmNetwork::GetWorldWideOperatorEntries(std::vector<OperatorEntry>& list) {
  list.clear();
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmNetwork::GetWorldWideOperatorEntries\r\n");
  fonexa::ListingRow listing{.row = Row("CMxGsmNetwork::GetWorldWideOperatorEntries", "AT+COPN\r"),
                             .line = Dotted("Response"),
                             .maxEntries = kMaxWorldWideOperators,
                             .deadlineMs = kWorldWideDeadlineMs,
                             // Phones leave the long listing's state behind; the module is reset
                             // after it. The reset's own answer does not change the result.
                             .afterOk = [](CMxGsmBasics* session) { session->Clear(); }};
  listing.row.prefix = "+COPN:";
  return ServiceDialogue(m_session).Listing(listing, [&](const std::string& line) {
    OperatorEntry entry;
    if (const int missing = fonexa::ParseCopnResponse(line, entry)) return fonexa::TokenizingReason(missing);
    list.push_back(entry);
    TraceLog().Write("CMxGsmNetwork::GetWorldWideOperatorEntries>>[%i,%s].\r\n", entry.CodeNumber,
                     entry.Name.c_str());
    return std::string();
  });
}

int CMxGsmNetwork::GetLocalOperatorEntries(std::vector<OperatorEntry>& list) {
  list.clear();
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmNetwork::GetLocalOperatorEntries\r\n");
  ServiceDialogue dialogue(m_session);
  const fonexa::DialogueRow row = OperatorRow("CMxGsmNetwork::GetLocalOperatorEntries", "AT+COPS=?\r");
  return dialogue.Query(row, [&](const std::string& line) {
    const fonexa::CopsTestResponse response = fonexa::ParseCopsTestResponse(line);
    if (!response.operatorPart.empty()) {
      TraceLog().Write("CMxGsmNetwork::GetLocalOperatorEntries>>Operators Left:[%s].\r\n",
                       response.operatorPart.c_str());
    }
    for (const auto& op : response.operators) {
      TraceLog().Write("CMxGsmNetwork::GetLocalOperatorEntries>>Token:[%s, %s, %s].\r\n", op.first.c_str(),
                       op.second.c_str(), op.third.c_str());
    }
    // The operators are taken by position, whether or not the supported
    // modes and formats follow. Some phones break the list over several
    // lines, or give each operator a "+COPS:" line of its own: the answer
    // goes on until its blank line, which the final read then takes.
    fonexa::CopsTestListReader reader;
    reader.Take(line);
    for (size_t more = 0; more < kMaxLocalOperators; ++more) {
      const std::string next = dialogue.Line(kNetworkMs);
      if (next == "\r\n") {
        dialogue.Unread(next);
        break;
      }
      dialogue.Trace(row.info, next);
      if (next.empty()) break;
      reader.Take(next);
    }
    for (const OperatorEntry& entry : reader.Operators()) {
      if (list.size() >= kMaxLocalOperators) return fonexa::Refused("ERROR:Too many operators.");
      list.push_back(entry);
    }
    return fonexa::Understood();
  });
}

int CMxGsmNetwork::GetCurrentOperator(OperatorEntry& entry) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmNetwork::GetCurrentOperator\r\n");
  return ServiceDialogue(m_session).Query(OperatorRow("CMxGsmNetwork::GetCurrentOperator", "AT+COPS?\r"), [&](const std::string& line) {
    fonexa::ParseCopsReadResponse(line, entry);
    TraceLog().Write("CMxGsmNetwork::GetCurrentOperator>>Finish Tokenizing:[%s, %i, %i].\r\n", entry.Name.c_str(),
                     entry.CodeNumber, entry.Mode);
    return fonexa::Understood();
  });
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
  fonexa::DialogueRow row = Row("CMxGsmNetwork::GetRegistrationStatus", "AT+CREG?\r");
  row.firstMs = kNetworkMs;
  row.prefix = "+CREG:";
  row.rule = PrefixRule::BeginsWith;
  row.sharesPrefix = IsLocationReport;
  return ServiceDialogue(m_session).Query(row, [&](const std::string& line) {
    fonexa::ParseCregReadResponse(line, n, stat);
    TraceLog().Write("CMxGsmNetwork::GetRegistrationStatus>>End Tokenizing[%d,%d].\r\n", n, stat);
    return fonexa::Understood();
  });
}
