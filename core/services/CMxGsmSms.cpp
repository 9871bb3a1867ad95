#include "services/CMxGsmSms.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fonexa/CMxGsmBasics.h"
#include "codec/CMxGsmCoding.h"
#include "codec/DeliveryReports.h"
#include "codec/SmsResponses.h"
#include "platform/Tick.h"
#include "session/ServiceDialogue.h"
#include "text/CommandText.h"
#include "text/DebugLog.h"
#include "text/InformationLine.h"

using fonexa::CMxGsmCoding;
using fonexa::Discipline;
using fonexa::DialogueRow;
using fonexa::Dotted;
using fonexa::PrefixRule;
using fonexa::ServiceDialogue;
using fonexa::SmsEntry;
using fonexa::SmsHeader;
using fonexa::TraceLog;

namespace {

constexpr const char* kCantOpen = "ERROR:Can't open the port.";
constexpr const char* kNotOpened = "ERROR:Port not opened.";
constexpr uint32_t kStandardMs = ServiceDialogue::kStandardTimeoutMs;
// The phone answers a submitted or stored PDU only once the network (or its
// memory) has taken it; after that answer the final result may again take
// the network's time.
constexpr uint32_t kNetworkMs = ServiceDialogue::kNetworkTimeoutMs;
constexpr uint32_t kAfterNetworkAnswerMs = 20000;
// Deleting rewrites a SIM record, which some phones take seconds for.
constexpr uint32_t kDeleteMs = 6000;
// Phones read the whole storage before the first line of a listing.
constexpr uint32_t kListFirstLineMs = 9000;
constexpr uint32_t kListLineMs = 6000;
// A listing does not say how large the storage is, and asking (+CPMS?) would
// be a further exchange. A SIM holds at most 255 messages and the phone
// memories we know some hundreds; a listing is cut at this many, and given
// this long in all: a header and its PDU line take the line up to about
// 400 ms at 9600 baud.
constexpr size_t kMaxListedMessages = 1000;
constexpr uint32_t kListDeadlineMs = kListFirstLineMs + kMaxListedMessages * 500;
// The concatenation header counts parts in one octet.
constexpr size_t kMaxParts = 255;
constexpr const char* kCtrlZ = "\x1A";
constexpr const char* kEscape = "\x1B";
constexpr const char* kWrongNumber = "ERROR:Wrong phone number.";

std::string Reason(const char* text, int value) { return std::string(text) + std::to_string(value) + "."; }

// The rows of the message service: they need the session open, and trace as
// "Send:[...].", "Response 1", "Response 2", "Response 3".
DialogueRow Row(const char* scope, std::string command, const char* notOpened = kCantOpen) {
  return {.scope = scope,
          .command = std::move(command),
          .discipline = Discipline::NeedsOpenSession,
          .notOpened = notOpened};
}

// A command answered only by its final result.
int SimpleCommand(CMxGsmBasics* session, const char* scope, std::string command, uint32_t finalMs) {
  DialogueRow row = Row(scope, std::move(command));
  row.finalMs = finalMs;
  row.final = Dotted("Response");
  row.wrongFinal = "ERROR:Wrong Response.";
  return ServiceDialogue(session).Command(row);
}

// The rows of the storage commands: every wrong step has the one reason.
DialogueRow StorageRow(const char* scope, std::string command, const char* notOpened) {
  DialogueRow row = Row(scope, std::move(command), notOpened);
  row.prefix = "+CPMS:";
  row.rule = PrefixRule::BeginsWith;
  row.refused = row.wrongFirst = row.wrongInfo = row.wrongFinal = "ERROR:Wrong Response.";
  return row;
}

// "AT+CMGS" and "AT+CMGW": the command, then the PDU and Ctrl-Z once the
// phone shows its "> " prompt. False when the prompt did not come; nothing of
// the PDU has then been written.
bool WritePduAtPrompt(ServiceDialogue& dialogue, const std::string& command, const std::string& pdu) {
  dialogue.Trace("Send", command);
  if (!dialogue.Session()->WriteCommandStringAndWaitForResponse(command, "> ", kStandardMs)) {
    // A phone that refuses the command ("+CMS ERROR: 304" when it has no
    // network or no SIM) is back in command mode: a PDU written now would
    // become the start of the next command line, and its network answer
    // would be waited for in vain. A phone whose prompt came garbled may still
    // be waiting for the text; ESC makes it drop the message, and the answer
    // to that is read here rather than by the next exchange.
    dialogue.Send(kEscape);
    dialogue.Trace("Response", dialogue.Final());
    return false;
  }
  dialogue.Trace("Send(Pdu)", pdu);
  dialogue.Trace("Echo(Pdu)", dialogue.Send(pdu));
  dialogue.Trace("Send(End)", kCtrlZ);
  dialogue.Trace("Echo(End)", dialogue.Send(kCtrlZ));
  return true;
}

// The entry line of a send, "-->scope(number,text)", and the number's check:
// a number that is no address leaves at once, with nothing sent.
bool EnterSend(ServiceDialogue& dialogue, const std::string& phoneNumber, const std::string& text) {
  TraceLog().Write("\r\n-->%s(%s,%s)\r\n", dialogue.Scope().c_str(), phoneNumber.c_str(), text.c_str());
  if (fonexa::AddressForPdu(phoneNumber)) return true;
  dialogue.Leave(kWrongNumber, 0);
  return false;
}

}  // namespace

int CMxGsmSms::_SelectPduFormat() {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::_SelectPduFormat\r\n");
  return SimpleCommand(m_session, "CMxGsmSms::_SelectPduFormat", "AT+CMGF=0\r", kStandardMs);
}

int CMxGsmSms::SetMessageAknowledge(int n) { return fonexa::AcknowledgeDeliveredMessage(m_session, n); }

// ---- Service centre ----------------------------------------------------------

int CMxGsmSms::SetServiceCenter(const std::string& number) {
  if (!m_session || number.empty()) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::SetServiceCenter(%s)\r\n", number.c_str());
  if (!fonexa::FitsCommandLine(number, fonexa::TextPlace::Bare)) {
    return ServiceDialogue(m_session, "CMxGsmSms::SetServiceCenter").Leave("ERROR:Wrong number.", 0);
  }
  const int type = number.front() == '+' ? 145 : 129;
  return SimpleCommand(m_session, "CMxGsmSms::SetServiceCenter",
                       "AT+CSCA=" + number + "," + std::to_string(type) + "\r", kStandardMs);
}

int CMxGsmSms::GetServiceCenter(std::string& number, int& type) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::GetServiceCenter\r\n");
  DialogueRow row = Row("CMxGsmSms::GetServiceCenter", "AT+CSCA?\r");
  row.prefix = "+CSCA:";
  return ServiceDialogue(m_session).Query(row, [&](const std::string& line) {
    if (const int missing = fonexa::ParseCscaResponse(line, number, type)) {
      return fonexa::Refused(fonexa::TokenizingReason(missing));
    }
    TraceLog().Write("CMxGsmSms::GetServiceCenter>>Finish Tokenizing:[%i, %s].\r\n", type, number.c_str());
    return fonexa::Understood();
  });
}

// ---- Stored messages -----------------------------------------------------------

int CMxGsmSms::DeleteMessage(int index) {
  if (!m_session || index < 0) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::DeleteMessage(%i)\r\n", index);
  return SimpleCommand(m_session, "CMxGsmSms::DeleteMessage", "AT+CMGD=" + std::to_string(index) + "\r", kDeleteMs);
}

int CMxGsmSms::ReadSmsEntries(int stat, std::vector<SmsEntry>& list) {
  list.clear();
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::ReadSmsEntries(%i)\r\n", stat);
  fonexa::ListingRow listing{.row = Row("CMxGsmSms::ReadSmsEntries", "AT+CMGL=" + std::to_string(stat) + "\r"),
                             .lineMs = kListLineMs,
                             .opening = "Parse Response:",
                             .maxEntries = kMaxListedMessages,
                             .deadlineMs = kListDeadlineMs};
  listing.row.firstMs = kListFirstLineMs;
  listing.row.first = Dotted("Response");
  listing.row.prefix = "+CMGL:";
  ServiceDialogue dialogue(m_session);
  const int result = dialogue.Listing(listing, [&](const std::string& line) {
    TraceLog().Write("CMxGsmSms::ReadSmsEntries>>Start Tokenizing.\r\n");
    SmsHeader header;
    if (const int missing = fonexa::ParseCmglResponse(line, header)) return Reason("ERROR:Wrong Tokenizing:", missing);
    const std::string pduLine = dialogue.Line();
    TraceLog().Write("CMxGsmSms::ReadSmsEntries>>Pdu:[%s].\r\n", pduLine.c_str());
    SmsEntry entry;
    if (fonexa::DecodeMessageLine(pduLine, header.length, entry)) {
      entry.State = header.stat;
      entry.Index = header.index;
      list.push_back(std::move(entry));
      return std::string();
    }
    TraceLog().Write("CMxGsmSms::ReadSmsEntries>>Error:Pdu:Can't Transform Pdu.\r\n");
    // A header whose PDU line is missing (a location the phone could not
    // read, a line lost on the link): what came in the PDU's place is the
    // listing's next line.
    if (fonexa::PduTextOfLine(pduLine).empty()) dialogue.Unread(pduLine);
    return std::string();
  });
  TakeStatusReports(list);
  return result;
}

int CMxGsmSms::ReadJoinedMessages(int stat, std::vector<fonexa::JoinedMessage>& list) {
  std::vector<SmsEntry> entries;
  const int result = ReadSmsEntries(stat, entries);
  list = fonexa::JoinMessageParts(entries);
  return result;
}

void CMxGsmSms::TakeStatusReports(const std::vector<SmsEntry>& entries) {
  for (const SmsEntry& entry : entries) {
    if (entry.MessageKind != SmsEntry::StatusReport) continue;
    const auto match =
        fonexa::DeliveryTracker::Process().Report(entry.PhoneNumber, entry.ReportReference, entry.ReportStatus);
    if (!match || !match->changed) continue;
    m_session->_TranslateEvent(fonexa::kEventDeliveryReport, fonexa::DeliveryOutcomeName(match->outcome),
                               static_cast<uint32_t>(match->messageId));
  }
  // Parts delivered to the terminal that still miss others once their time
  // is up are told as they stand. The background monitor lists the store
  // every cycle, so this is looked at every few seconds without a thread of
  // its own.
  for (const fonexa::JoinedMessage& late : fonexa::PartAssembler::Process().Expired(fonexa::platform::TickCount())) {
    m_session->_TranslateEvent(fonexa::kEventJoinedMessage, late.PhoneNumber + "#" + late.TextUtf8,
                               static_cast<uint32_t>(late.MissingParts));
  }
}

int CMxGsmSms::ReadSmsEntry(int index, SmsEntry& entry) {
  if (!m_session || index < 0) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::ReadSmsEntry(%i)\r\n", index);
  DialogueRow row = Row("CMxGsmSms::ReadSmsEntry", "AT+CMGR=" + std::to_string(index) + "\r");
  row.prefix = "+CMGR:";
  ServiceDialogue dialogue(m_session);
  if (!dialogue.Begin(row) || !dialogue.Blank(row)) return dialogue.Result();
  // A final result where a line of the message belongs ends the answer: "OK"
  // alone for an empty location, "+CMS ERROR: 321" for an index outside the
  // storage. Anything else leaves the final result still to be read.
  const auto leaveAfter = [&](const std::string& line, const char* reason) {
    if (!dialogue.IsOk(line) && !dialogue.IsError(line)) dialogue.Trace(row.final, dialogue.Final());
    return dialogue.Leave(reason, 0);
  };
  const std::string line = dialogue.InfoLine(row);
  if (!ServiceDialogue::Carries(row, line)) return leaveAfter(line, row.wrongInfo);
  TraceLog().Write("CMxGsmSms::ReadSmsEntry>>Start Tokenizing");
  SmsHeader header;
  if (const int missing = fonexa::ParseCmgrResponse(line, header)) {
    return dialogue.Leave(Reason("ERROR:Wrong Tokenizing:", missing == fonexa::kHeaderStatMissing ? 1 : 2), 0);
  }
  const std::string pduLine = dialogue.Line();
  TraceLog().Write("CMxGsmSms::ReadSmsEntry>>Pdu:[%s:%i].\r\n", pduLine.c_str(), header.length);
  SmsEntry read = entry;
  if (!fonexa::DecodeMessageLine(pduLine, header.length, read)) {
    TraceLog().Write("CMxGsmSms::ReadSmsEntry>>Error:Pdu:Can't Transform Pdu.\r\n");
    return leaveAfter(pduLine, "ERROR:Can't Transform Pdu.");
  }
  read.Index = index;
  read.State = header.stat;
  read.Validity = -1;
  entry = std::move(read);
  TraceLog().Write("CMxGsmSms::ReadSmsEntry>>Finish Tokenizing:[%i,%i,%i,%s,%s,%s,%i].\r\n", entry.Index, entry.State,
                   entry.Validity, entry.PhoneNumber.c_str(), entry.ProviderPhone.c_str(), entry.MessageText.c_str(),
                   static_cast<int>(entry.Time));
  row.failed = 1;  // the message was read whatever the final line says
  const int result = dialogue.Finish(row);
  TakeStatusReports({entry});
  return result;
}

// ---- Sending and storing ---------------------------------------------------------

int CMxGsmSms::SendTextMessage(const std::string& phoneNumber, const std::string& text) {
  if (!m_session) return 0;
  ServiceDialogue dialogue(m_session, "CMxGsmSms::SendTextMessage");
  if (!EnterSend(dialogue, phoneNumber, text)) return 0;
  const int alphabet = CMxGsmCoding::SelectAlphabet(text);
  // Built in order, the parts of one message share one concatenation reference.
  const std::vector<std::string> parts = CMxGsmCoding::SplitIntoParts(text, alphabet);
  if (parts.empty() || parts.size() > kMaxParts) return dialogue.Leave("ERROR:Message too long.", 0);
  if (!_SelectPduFormat()) return dialogue.Leave("ERROR:Can't select PDU format.", 0);
  const int count = static_cast<int>(parts.size());
  for (int i = 0; i < count; ++i) {
    // Parts already sent stay sent; the ones after a refused part are not tried.
    if (!_SendPartialMessage(phoneNumber, parts[static_cast<size_t>(i)], i + 1, count, alphabet, 0)) {
      return dialogue.Leave(Reason("ERROR:Part not sent:", i + 1), 0);
    }
  }
  return dialogue.Leave("OK.", 1);
}

int CMxGsmSms::SendFlashMessage(const std::string& phoneNumber, const std::string& text) {
  if (!m_session) return 0;
  ServiceDialogue dialogue(m_session, "CMxGsmSms::SendFlashMessage");
  if (!EnterSend(dialogue, phoneNumber, text)) return 0;
  const int alphabet = CMxGsmCoding::SelectAlphabet(text);
  if (CMxGsmCoding::GetPartCount(text, alphabet) != 1) return dialogue.Leave("ERROR:Message too long.", 0);
  if (!_SelectPduFormat()) return dialogue.Leave("ERROR:Can't select PDU format.", 0);
  if (!_SendPartialMessage(phoneNumber, text, 1, 1, alphabet, 1)) return dialogue.Leave("ERROR:Not sent.", 0);
  return dialogue.Leave("OK.", 1);
}

int CMxGsmSms::_SendPartialMessage(const std::string& phoneNumber, const std::string& text, int partIndex,
                                   int partCount, int alphabet, int flash) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::_SendPartialMessage(%s,%s)\r\n", phoneNumber.c_str(), text.c_str());
  const DialogueRow row = Row("CMxGsmSms::_SendPartialMessage", "", kNotOpened);
  ServiceDialogue dialogue(m_session);
  if (!dialogue.Enter(row)) return 0;
  const std::optional<std::string> address = fonexa::AddressForPdu(phoneNumber);
  if (!address) return dialogue.Leave(kWrongNumber, 0);
  std::string pdu;
  const int length = CMxGsmCoding::ConvertToPdu(pdu, *address, text, alphabet, partIndex, partCount, flash);
  int reference = -1;
  return SendBuiltPdu(pdu, length, reference);
}

int CMxGsmSms::SendBuiltPdu(const std::string& pdu, int length, int& reference) {
  ServiceDialogue dialogue(m_session, "CMxGsmSms::_SendPartialMessage");
  reference = -1;
  if (length <= 0) return dialogue.Leave(Reason("ERROR:Pdu Length=", length), 0);
  if (!WritePduAtPrompt(dialogue, "AT+CMGS=" + std::to_string(length) + "\r", pdu)) {
    return dialogue.Leave("ERROR:Wrong Response 1.", 0);
  }
  // Normally the "+CMGS:" line with the message reference, which delivery
  // reports name.
  const std::string provider = dialogue.Final(kNetworkMs);
  dialogue.Trace("Provider Response", provider);
  // A refusal ("+CMS ERROR: 38" and the like) is the answer's last line.
  if (dialogue.IsError(provider)) return dialogue.Leave("ERROR:Wrong Response 2.", 0);
  reference = fonexa::ParseCmgsResponse(provider);
  std::string line = dialogue.Line(kAfterNetworkAnswerMs);
  if (fonexa::BeginsWith(line, "+CMGS:")) {
    reference = fonexa::ParseCmgsResponse(line);
    line = dialogue.Final(kNetworkMs);
  } else if (line == "\r\n") {
    line = dialogue.Line(kNetworkMs);
  }
  dialogue.Trace("Response", line);
  if (!dialogue.IsOk(line)) return dialogue.Leave("ERROR:Wrong Response 2.", 0);
  return dialogue.Leave("OK.", 1);
}

int CMxGsmSms::SendUtf8Message(const std::string& phoneNumber, const std::string& text, bool flash,
                               bool statusReport, std::vector<int>& references, int& messageId) {
  references.clear();
  messageId = 0;
  if (!m_session) return 0;
  ServiceDialogue dialogue(m_session, "CMxGsmSms::SendUtf8Message");
  if (!EnterSend(dialogue, phoneNumber, text)) return 0;
  int alphabet = 0;
  const std::vector<std::vector<uint16_t>> parts = CMxGsmCoding::SplitUtf8Text(text, alphabet);
  if (parts.empty() || parts.size() > kMaxParts || (flash && parts.size() != 1)) {
    return dialogue.Leave("ERROR:Message too long.", 0);
  }
  if (!m_session->IsOpened()) return dialogue.Leave(kNotOpened, 0);
  if (!_SelectPduFormat()) return dialogue.Leave("ERROR:Can't select PDU format.", 0);
  const std::string address = *fonexa::AddressForPdu(phoneNumber);
  const int count = static_cast<int>(parts.size());
  // Known before the first part goes: its report may come back before the
  // last part is sent.
  fonexa::DeliveryTracker& tracker = fonexa::DeliveryTracker::Process();
  const int id = tracker.Register(phoneNumber, parts.size());
  for (int i = 0; i < count; ++i) {
    // Built in order, the parts share one concatenation reference. Parts
    // already sent stay sent; the ones after a refused part are not tried.
    std::string pdu;
    const int length = CMxGsmCoding::ConvertUnitsToPdu(pdu, address, parts[static_cast<size_t>(i)], alphabet, i + 1,
                                                       count, flash ? 1 : 0, statusReport);
    int reference = -1;
    if (!SendBuiltPdu(pdu, length, reference)) {
      tracker.Forget(id);
      return dialogue.Leave(Reason("ERROR:Part not sent:", i + 1), 0);
    }
    tracker.SetReference(id, static_cast<size_t>(i), reference);
    references.push_back(reference);
  }
  messageId = id;
  return dialogue.Leave("OK.", 1);
}

int CMxGsmSms::WriteSmsEntry(const std::string& phoneNumber, const std::string& text) {
  if (!m_session) return -1;
  TraceLog().Write("\r\n-->CMxGsmSms::WriteSmsEntry(%s,%s)\r\n", phoneNumber.c_str(), text.c_str());
  const DialogueRow row = Row("CMxGsmSms::WriteSmsEntry", "", kNotOpened);
  ServiceDialogue dialogue(m_session, row.scope);
  const int alphabet = CMxGsmCoding::SelectAlphabet(text);
  if (CMxGsmCoding::GetPartCount(text, alphabet) != 1) return dialogue.Leave("ERROR:Message too long.", -1);
  if (!dialogue.Enter(row)) return -1;
  const std::optional<std::string> address = fonexa::AddressForPdu(phoneNumber);
  if (!address) return dialogue.Leave(kWrongNumber, -1);
  if (!_SelectPduFormat()) return dialogue.Leave("ERROR:Can't select PDU format.", -1);
  std::string pdu;
  const int length = CMxGsmCoding::ConvertToPdu(pdu, *address, text, alphabet, 1, 1, 0);
  if (length <= 0) return dialogue.Leave(Reason("ERROR:Pdu Length=", length), -1);
  if (!WritePduAtPrompt(dialogue, "AT+CMGW=" + std::to_string(length) + "\r", pdu)) {
    return dialogue.Leave("ERROR:Wrong Response 1.", -1);
  }
  const std::string answer = dialogue.Final(kNetworkMs);
  dialogue.Trace("Response", answer);
  if (answer.find("+CMGW:") == std::string::npos) return dialogue.Leave("ERROR:Wrong response.", -1);
  DialogueRow stored = row;
  stored.final = Dotted("Response 2");
  stored.wrongFinal = "ERROR:Wrong Response 2.";
  stored.failed = -1;
  stored.okResult = fonexa::ParseCmgwResponse(answer);
  return dialogue.Finish(stored);
}

// ---- Storage ------------------------------------------------------------------------

int CMxGsmSms::SetSmsStorage(int storage) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::SetSmsStorage(%i)\r\n", storage);
  DialogueRow row = StorageRow("CMxGsmSms::SetSMSStorage", "", kCantOpen);
  ServiceDialogue dialogue(m_session);
  if (!dialogue.Enter(row)) return 0;
  // An empty storage name would not be refused by every phone: under V.250
  // an omitted parameter keeps its value, and the unknown number would be
  // reported as selected.
  const char* name = fonexa::SmsStorageName(storage);
  if (!name) return dialogue.Leave("ERROR:Wrong Storage.", 0);
  const std::string quoted = std::string("\"") + name + "\"";
  row.command = "AT+CPMS=" + quoted + "," + quoted + "\r";
  return dialogue.Query(row, [](const std::string&) { return fonexa::Understood(); });
}

int CMxGsmSms::GetSmsStorage(int& storage, int& used, int& total) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::GetSmsStorage\r\n");
  const DialogueRow row = StorageRow("CMxGsmSms::GetSmsStorage", "AT+CPMS?\r", kNotOpened);
  return ServiceDialogue(m_session).Query(row, [&](const std::string& line) {
    const fonexa::CpmsReadResponse response = fonexa::ParseCpmsReadResponse(line);
    if (response.storage < 0) return fonexa::Refused("Parse error[" + response.name + "].");
    if (!response.complete) return fonexa::Refused("Parse error.");
    storage = response.storage;
    used = response.used;
    total = response.total;
    // The counts are reported as the exit line, before the final result is judged.
    fonexa::Verdict verdict;
    verdict.closing = "Parse finished [" + std::to_string(storage) + "," + std::to_string(used) + "," +
                      std::to_string(total) + "].";
    verdict.ok = "";
    return verdict;
  });
}
