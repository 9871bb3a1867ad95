#include "services/CMxGsmCall.h"

#include <atomic>
#include <bitset>

#include "codec/CallResponses.h"
#include "fonexa/CMxGsmBasics.h"
#include "platform/Tick.h"
#include "platform/ThreadSlot.h"
#include "services/CMxGsmCallsCompare.h"
#include "services/CMxGsmProtection.h"
#include "services/TelephonyRows.h"
#include "session/ServiceDialogue.h"
#include "text/DebugLog.h"
#include "text/PhoneNumber.h"

using fonexa::CallEntry;
using fonexa::DialogueRow;
using fonexa::Discipline;
using fonexa::Dotted;
using fonexa::InfoRead;
using fonexa::ListingRow;
using fonexa::Refused;
using fonexa::ServiceDialogue;
using fonexa::TokenizingReason;
using fonexa::TraceLog;
using fonexa::Understood;
using fonexa::Verdict;
using fonexa::WhenAbsent;

namespace {

constexpr const char* kCantOpen = "ERROR:Can't open the port.";
constexpr const char* kNotOpened = "ERROR:Port wasn't opened before.";
constexpr uint32_t kStandardMs = ServiceDialogue::kStandardTimeoutMs;
// A dial result comes when the other side answers, is busy or gives up; the
// network's own no-answer timer is about this long.
constexpr uint32_t kDialResultMs = 60000;
// Unsolicited codes a dial passes over while it waits for its result: enough
// for rings and caller identities of a waiting call, bounded against a phone
// that sends nothing else.
constexpr int kMaxCodesWhileDialling = 100;
// Supplementary services are answered by the network.
constexpr uint32_t kNetworkMs = ServiceDialogue::kNetworkTimeoutMs;
// A current-call list names at most seven calls; a phone that goes on past
// this many lines or this long is not answering +CLCC.
constexpr size_t kMaxCallLines = 32;
constexpr uint32_t kCallListMs = 15000;

// Call barring facilities by type.
const char* const kBarringFacilities[] = {"AO", "OI", "OX", "AI", "IR", "AB", "AG", "AC"};

// One dial in the process at a time.
std::atomic<int> g_dialInProgress{0};

fonexa::platform::ThreadSlot& DialSlot() {
  static fonexa::platform::ThreadSlot slot;
  return slot;
}

int DialThread(CMxGsmBasics* session, const std::string& number) {
  TraceLog().Write("\r\n==>Starting thread[_DialThread]\r\n");
  int result = CMxGsmCall::kDialFailed;
  if (session->Attach("_DialThread", 10000)) {
    fonexa::CallTracking::Wake();
    result = CMxGsmCall(session).Dial(number);
    session->Detach();
  }
  session->_TranslateEvent(CMxGsmBasics::kEventDialEnd, number, static_cast<uint32_t>(result));
  // Cleared only after delivery: a handler of the dial-end event cannot start
  // another dial from inside it.
  g_dialInProgress.store(0);
  TraceLog().Write("\r\n<==Terminating thread[_DialThread]\r\n");
  return result;
}

}  // namespace

CMxGsmCall::CMxGsmCall(CMxGsmBasics* session) : m_session(session) {
  if (m_session) fonexa::CallTracking::Start(m_session);
}

CMxGsmCall::~CMxGsmCall() { m_session = nullptr; }

bool CMxGsmCall::IsDialling() { return g_dialInProgress.load() != 0; }

void CMxGsmCall::WaitForDial() { DialSlot().WaitUntilEmpty(); }

int CMxGsmCall::StartDial(const std::string& number) {
  if (!m_session || !fonexa::IsDialString(number)) return 0;
  return StartDialCommand(number);
}

int CMxGsmCall::StartDialFromPhoneBook(const std::string& storageName, int location) {
  // The storage name is the device profile's own, never the caller's text.
  if (!m_session || location < 0) return 0;
  const std::string memory = ">" + storageName + std::to_string(location);
  return StartDialCommand(memory);
}

int CMxGsmCall::StartDialCommand(const std::string& command) {
  int idle = 0;
  if (!g_dialInProgress.compare_exchange_strong(idle, 1)) return 0;
  CMxGsmBasics* session = m_session;
  // The thread of the dial before has ended (the flag was clear): it is
  // collected before the next one starts.
  DialSlot().Start([session, command] { DialThread(session, command); });
  return 1;
}

int CMxGsmCall::Dial(const std::string& number) {
  TraceLog().Write("\r\n-->CMxGsmCall::Dial(%s)\r\n", number.c_str());
  ServiceDialogue dialogue(m_session);
  DialogueRow row;
  row.scope = "CMxGsmCall::Dial";
  row.command = "ATD" + number + ";\r";
  row.notOpened = kNotOpened;
  row.notOpenedResult = kDialFailed;
  row.failed = kDialFailed;
  if (!fonexa::IsDialString(number) && !fonexa::IsPhoneBookDial(number)) {
    return fonexa::RefuseBeforeSending(dialogue, row, "ERROR:Wrong Number.");
  }
  if (!dialogue.Begin(row)) return dialogue.Result();
  // The result comes once the other side answers or the call fails; rings
  // and caller identities of another call may come first.
  std::string answer = m_session->ReadAnswerString(kDialResultMs, 1);
  for (int codes = 0; answer != "NO CARRIER" && m_session->_TestForRingCode(answer); ++codes) {
    if (codes == kMaxCodesWhileDialling) return dialogue.Leave("ERROR:Wrong Response.", kDialFailed);
    answer = m_session->ReadAnswerString(kDialResultMs, 1);
  }
  TraceLog().Write("CMxGsmCall::Dial>>Response[%s]\r\n", answer.c_str());
  if (dialogue.IsOk(answer)) return dialogue.Leave("OK.", kDialOk);
  if (answer == "BUSY") return dialogue.Leave("ERROR:Busy tone.", kDialBusy);
  if (answer == "NO DIALTONE") return dialogue.Leave("ERROR:No dialtone.", kDialNoDialTone);
  if (answer == "NO CARRIER") return dialogue.Leave("ERROR:No carrier.", kDialNoCarrier);
  return dialogue.Leave("ERROR:Wrong Response.", kDialFailed);
}

int CMxGsmCall::Answer() {
  if (!m_session) return 0;
  // What the phone sent before (the rings of this very call) is not the answer.
  m_session->FlushComBuffers();
  fonexa::CallTracking::Wake();
  TraceLog().Write("\r\n-->CMxGsmCall::Answer\r\n");
  return ServiceDialogue(m_session).Command(fonexa::OpenedRow("CMxGsmCall::Answer", "ATA\r", kCantOpen));
}

int CMxGsmCall::Hangup() {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmCall::Hangup\r\n");
  return ServiceDialogue(m_session).Command(fonexa::NeedsOpenRow("CMxGsmCall::Hangup", "ATH0\r"));
}

int CMxGsmCall::GetActivityStatus() {
  if (!m_session) return -1;
  TraceLog().Write("\r\n-->CMxGsmCall::GetActivityStatus\r\n");
  DialogueRow row = fonexa::OpenedRow("CMxGsmCall::GetActivityStatus", "AT+CPAS\r", kCantOpen);
  row.notOpenedResult = -1;
  row.failed = -1;
  row.prefix = "+CPAS:";
  row.absent = WhenAbsent::Skipped;  // no activity line: the value stays -1
  row.final = Dotted("Response 3");
  row.wrongFirst = "ERROR:Wrong Response.";
  row.okResult = -1;
  row.ok = "OK:-1";
  return ServiceDialogue(m_session).Query(row, [](const std::string& line) {
    int value = -1;
    if (fonexa::ParseCpasResponse(line, value) != 0) return Refused(TokenizingReason(1));
    Verdict verdict;
    verdict.ok = "OK:" + std::to_string(value);
    verdict.okResult = value;
    return verdict;
  });
}

int CMxGsmCall::SetClip(int enable) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmCall::SetClip(%d)\r\n", enable);
  return ServiceDialogue(m_session).Command(
      fonexa::OpenedRow("CMxGsmCall::SetClip", enable ? "AT+CLIP=1\r" : "AT+CLIP=0\r", kCantOpen));
}

int CMxGsmCall::SetClir(int enable) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmCall::SetClir(%d)\r\n", enable);
  return ServiceDialogue(m_session).Command(
      fonexa::OpenedRow("CMxGsmCall::SetClir", enable ? "AT+CLIR=1\r" : "AT+CLIR=0\r", kCantOpen));
}

int CMxGsmCall::GetCurrentCalls(std::vector<CallEntry>& list) {
  list.clear();
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmCall::GetCurrentCalls\r\n");
  ListingRow listing;
  listing.row = fonexa::OpenedRow("CMxGsmCall::GetCurrentCalls", "AT+CLCC\r", kCantOpen);
  listing.row.prefix = "+CLCC:";
  listing.row.wrongFirst = "ERROR:Wrong response.";
  listing.line = Dotted("Response");
  listing.maxEntries = kMaxCallLines;
  listing.deadlineMs = kCallListMs;
  return ServiceDialogue(m_session).Listing(listing, [&list](const std::string& line) {
    CallEntry entry;
    if (const int failed = fonexa::ParseClccResponse(line, entry)) return TokenizingReason(failed);
    TraceLog().Write("CMxGsmCall::GetCurrentCalls>>[%i,%i,%i,%i,%i,%s,%i,%s].\r\n", entry.Index, entry.Direction,
                     entry.State, entry.Mode, entry.Multiparty, entry.PhoneNumber.c_str(), entry.Type,
                     entry.Name.c_str());
    list.push_back(std::move(entry));
    return std::string();
  });
}

int CMxGsmCall::ManageMultipartyCall(int mode, int index) {
  if (!m_session) return 0;
  const bool indexed = mode == 2 || mode == 4;
  if (indexed && (index < 0 || index > 7)) return 0;
  std::string command;
  switch (mode) {
    case 0: command = "AT+CHLD=0\r"; break;
    case 1: command = "AT+CHLD=1\r"; break;
    case 2: command = "AT+CHLD=1" + std::to_string(index) + "\r"; break;
    case 3: command = "AT+CHLD=2\r"; break;
    case 4: command = "AT+CHLD=2" + std::to_string(index) + "\r"; break;
    case 5: command = "AT+CHLD=3\r"; break;
    default: return 0;
  }
  TraceLog().Write("\r\n-->CMxGsmCall::ManageMultipartyCall(%i, %i)\r\n", mode, index);
  return ServiceDialogue(m_session).Command(fonexa::NeedsOpenRow("CMxGsmCall::ManageMultipartyCall", command));
}

// ---- Call forwarding and barring ------------------------------------------------

int CMxGsmCall::GetCallForwarding(int reason, int callClass, int& status, std::string& number, int& time) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmCall::GetCallForwarding(%d, %d)\r\n", reason, callClass);
  status = 0;
  number.clear();
  time = 0;
  ServiceDialogue dialogue(m_session);
  DialogueRow row = fonexa::NeedsOpenRow("CMxGsmCall::GetCallForwarding",
                              "AT+CCFC=" + std::to_string(reason) + ",2,,," + std::to_string(callClass) + "\r");
  if (std::bitset<32>(static_cast<uint32_t>(callClass)).count() != 1) {
    return fonexa::RefuseBeforeSending(dialogue, row, "ERROR:Wrong parameter nClass[" + std::to_string(callClass) + "].");
  }
  row.infoRead = InfoRead::Final;
  row.infoMs = kNetworkMs;
  row.prefix = "+CCFC:";
  row.absent = WhenAbsent::Taken;  // judged below: the answer must hold "+CCFC:" somewhere
  row.info = Dotted("Response 1");
  row.final = Dotted("Response 2");
  return dialogue.Query(row, [&](const std::string& answer) {
    if (answer.find("+CCFC:") == std::string::npos) return Refused("ERROR:Wrong response[" + answer + "].");
    switch (fonexa::ParseCcfcQueryResponse(answer, callClass, status, number, time)) {
      case fonexa::CcfcParse::NoMoreTokens:
        return Refused("ERROR:No more tokens.");
      case fonexa::CcfcParse::WrongClass:
        return Refused("ERROR:Wrong token.");
      case fonexa::CcfcParse::Ok:
        break;
    }
    TraceLog().Write("CMxGsmCall::GetCallForwarding>>Finished tokenizing[%d,%s,%d]\r\n", status, number.c_str(),
                     time);
    return Understood();
  });
}

int CMxGsmCall::SetCallForwarding(int reason, int callClass, int enable, const std::string& number, int time) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmCall::SetCallForwarding(%d, %d, %d, %s, %d)\r\n", reason, callClass, enable,
                   number.c_str(), time);
  ServiceDialogue dialogue(m_session);
  // GSM 07.07: +CCFC=<reason>,<mode>[,<number>[,<type>[,<class>[,<subaddr>[,<satype>[,<time>]]]]]]. The
  // number goes in quotes with its type of address; the no-reply time has a
  // place of its own, after the subaddress fields.
  const std::string head = "AT+CCFC=" + std::to_string(reason) + ",";
  std::string command;
  if (number.empty()) {
    command = head + (enable ? "1" : "0") + ",,," + std::to_string(callClass);
  } else {
    const int type = number.front() == '+' ? 145 : 129;
    command = head + (enable ? "3" : "4") + ",\"" + number + "\"," + std::to_string(type) + "," +
              std::to_string(callClass);
  }
  if (reason == 2 && time > 0) command += ",,," + std::to_string(time);
  DialogueRow row = fonexa::NeedsOpenRow("CMxGsmCall::SetCallForwarding", command + "\r");
  if (!number.empty() && !fonexa::IsDialString(number)) {
    return fonexa::RefuseBeforeSending(dialogue, row, "ERROR:Wrong Number.");
  }
  // The answer is read line by line: the blank line, then the result.
  row.firstMs = kNetworkMs;
  row.infoMs = kNetworkMs;
  row.wrongFirst = "ERROR:Wrong response.";
  if (!dialogue.Begin(row) || !dialogue.Blank(row)) return dialogue.Result();
  const std::string answer = dialogue.Line(kNetworkMs);
  dialogue.Trace(Dotted("Response 2"), answer);
  if (!dialogue.IsOk(answer)) return dialogue.Leave(row.wrongFinal, 0);
  return dialogue.Leave(row.ok, 1);
}

int CMxGsmCall::GetCallBarring(int type, int callClass, const std::string& password, int& status) {
  if (type < 0 || type > 7) return 0;
  return CMxGsmProtection(m_session)._GetFacilityLock(kBarringFacilities[type], password, callClass, status);
}

int CMxGsmCall::SetCallBarring(int type, int callClass, const std::string& password, int lock) {
  if (type < 0 || type > 7) return 0;
  return CMxGsmProtection(m_session)._SetFacilityLock(kBarringFacilities[type], password, callClass, lock);
}
