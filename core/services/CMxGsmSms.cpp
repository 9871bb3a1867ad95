#include "services/CMxGsmSms.h"

#include <cstdint>
#include <string>
#include <vector>

#include "fonexa/CMxGsmBasics.h"
#include "codec/CMxGsmCoding.h"
#include "text/InformationLine.h"
#include "session/ServiceDialogue.h"
#include "codec/SmsResponses.h"
#include "text/DebugLog.h"

using fonexa::CMxGsmCoding;
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
// The concatenation header counts parts in one octet.
constexpr size_t kMaxParts = 255;
constexpr const char* kCtrlZ = "\x1A";
constexpr const char* kEscape = "\x1B";

std::string Reason(const char* text, int value) { return std::string(text) + std::to_string(value) + "."; }

// A command answered only by its final result.
int SimpleCommand(CMxGsmBasics* session, const char* scope, const std::string& command, uint32_t finalMs) {
  ServiceDialogue dialogue(session, scope);
  if (!dialogue.RequireOpen(kCantOpen)) return 0;
  dialogue.SendTraced(command);
  const std::string answer = dialogue.TracedFinal("Response", finalMs);
  if (!dialogue.IsOk(answer)) return dialogue.Exit("ERROR:Wrong Response.", 0);
  return dialogue.Exit("OK.", 1);
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
    dialogue.TracedFinal("Response");
    return false;
  }
  dialogue.Trace("Send(Pdu)", pdu);
  dialogue.Trace("Echo(Pdu)", dialogue.Send(pdu));
  dialogue.Trace("Send(End)", kCtrlZ);
  dialogue.Trace("Echo(End)", dialogue.Send(kCtrlZ));
  return true;
}

}  // namespace

int CMxGsmSms::_SelectPduFormat() {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::_SelectPduFormat\r\n");
  return SimpleCommand(m_session, "CMxGsmSms::_SelectPduFormat", "AT+CMGF=0\r", kStandardMs);
}

int CMxGsmSms::SetMessageAknowledge(int n) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::SetMessageAknowledge(%i)\r\n", n);
  return SimpleCommand(m_session, "CMxGsmSms::SetMessageAknowledge", "AT+CNMA=" + std::to_string(n) + "\r",
                       kStandardMs);
}

// ---- Service centre ----------------------------------------------------------

int CMxGsmSms::SetServiceCenter(const std::string& number) {
  if (!m_session || number.empty()) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::SetServiceCenter(%s)\r\n", number.c_str());
  if (!fonexa::IsSafeNumber(number)) {
    return ServiceDialogue(m_session, "CMxGsmSms::SetServiceCenter").Exit("ERROR:Wrong number.", 0);
  }
  const int type = number.front() == '+' ? 145 : 129;
  return SimpleCommand(m_session, "CMxGsmSms::SetServiceCenter",
                       "AT+CSCA=" + number + "," + std::to_string(type) + "\r", kStandardMs);
}

int CMxGsmSms::GetServiceCenter(std::string& number, int& type) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::GetServiceCenter\r\n");
  ServiceDialogue dialogue(m_session, "CMxGsmSms::GetServiceCenter");
  if (!dialogue.RequireOpen(kCantOpen)) return 0;
  dialogue.SendTraced("AT+CSCA?\r");
  const std::string first = dialogue.TracedLine("Response 1");
  if (first != "\r\n") return dialogue.Exit("ERROR:Wrong Response 1.", 0);
  const std::string line = dialogue.TracedLine("Response 2");
  if (!fonexa::CarriesMoreThan(line, "+CSCA:")) return dialogue.Exit("ERROR:Wrong Response 2.", 0);
  if (const int missing = fonexa::ParseCscaResponse(line, number, type)) {
    return dialogue.Exit(Reason("ERROR:Wrong Tokenizing:", missing).c_str(), 0);
  }
  TraceLog().Write("CMxGsmSms::GetServiceCenter>>Finish Tokenizing:[%i, %s].\r\n", type, number.c_str());
  const std::string final = dialogue.TracedFinal("Response 3");
  if (!dialogue.IsOk(final)) return dialogue.Exit("ERROR:Wrong Response 3.", 0);
  return dialogue.Exit("OK.", 1);
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
  ServiceDialogue dialogue(m_session, "CMxGsmSms::ReadSmsEntries");
  if (!dialogue.RequireOpen(kCantOpen)) return 0;
  dialogue.SendTraced("AT+CMGL=" + std::to_string(stat) + "\r");
  const std::string first = dialogue.TracedLine("Response", kListFirstLineMs);
  if (first != "\r\n") return dialogue.Exit("ERROR:Wrong Response 1.", 0);
  TraceLog().Write("CMxGsmSms::ReadSmsEntries>>Parse Response:\r\n");

  std::string line = dialogue.Line(kListLineMs);
  for (;;) {
    TraceLog().Write("%s", line.c_str());
    if (line.empty()) return 0;  // the phone fell silent part-way: keep what came
    // A header comes before the final-result tests: a sender's name may hold
    // "ERROR".
    if (fonexa::CarriesMoreThan(line, "+CMGL:")) {
      TraceLog().Write("CMxGsmSms::ReadSmsEntries>>Start Tokenizing.\r\n");
      SmsHeader header;
      if (const int missing = fonexa::ParseCmglResponse(line, header)) {
        return dialogue.Exit(Reason("ERROR:Wrong Tokenizing:", missing).c_str(), 0);
      }
      const std::string pduLine = dialogue.Line();
      TraceLog().Write("CMxGsmSms::ReadSmsEntries>>Pdu:[%s].\r\n", pduLine.c_str());
      SmsEntry entry;
      if (fonexa::DecodeMessageLine(pduLine, header.length, entry)) {
        entry.State = header.stat;
        entry.Index = header.index;
        list.push_back(std::move(entry));
      } else {
        TraceLog().Write("CMxGsmSms::ReadSmsEntries>>Error:Pdu:Can't Transform Pdu.\r\n");
        // A header whose PDU line is missing (a location the phone could
        // not read, a line lost on the link): what came in the PDU's place
        // is the listing's next line.
        if (fonexa::PduTextOfLine(pduLine).empty()) {
          line = pduLine;
          continue;
        }
      }
    } else if (dialogue.IsOk(line)) {
      return dialogue.Exit("OK.", 1);
    } else if (dialogue.IsError(line)) {
      return dialogue.Exit("ERROR.", 0);
    }  // anything else (blank lines, noise) is passed over
    line = dialogue.Line(kListLineMs);
  }
}

int CMxGsmSms::ReadSmsEntry(int index, SmsEntry& entry) {
  if (!m_session || index < 0) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::ReadSmsEntry(%i)\r\n", index);
  ServiceDialogue dialogue(m_session, "CMxGsmSms::ReadSmsEntry");
  if (!dialogue.RequireOpen(kCantOpen)) return 0;
  dialogue.SendTraced("AT+CMGR=" + std::to_string(index) + "\r");
  const std::string first = dialogue.TracedLine("Response 1");
  if (first != "\r\n") return dialogue.Exit("ERROR:Wrong Response 1.", 0);
  const std::string line = dialogue.TracedLine("Response 2");
  // A final result in the header's place ends the answer: "OK" alone for an
  // empty location, "+CMS ERROR: 321" for an index outside the storage.
  const auto endsAnswer = [&dialogue](const std::string& text) {
    return dialogue.IsOk(text) || dialogue.IsError(text);
  };
  if (!fonexa::CarriesMoreThan(line, "+CMGR:")) {
    if (!endsAnswer(line)) dialogue.TracedFinal("Response 3");
    return dialogue.Exit("ERROR:Wrong Response 2.", 0);
  }
  TraceLog().Write("CMxGsmSms::ReadSmsEntry>>Start Tokenizing");
  SmsHeader header;
  if (const int missing = fonexa::ParseCmgrResponse(line, header)) {
    return dialogue.Exit(Reason("ERROR:Wrong Tokenizing:", missing == fonexa::kHeaderStatMissing ? 1 : 2).c_str(),
                         0);
  }
  const std::string pduLine = dialogue.Line();
  TraceLog().Write("CMxGsmSms::ReadSmsEntry>>Pdu:[%s:%i].\r\n", pduLine.c_str(), header.length);
  SmsEntry read = entry;
  if (!fonexa::DecodeMessageLine(pduLine, header.length, read)) {
    TraceLog().Write("CMxGsmSms::ReadSmsEntry>>Error:Pdu:Can't Transform Pdu.\r\n");
    if (!endsAnswer(pduLine)) dialogue.TracedFinal("Response 3");
    return dialogue.Exit("ERROR:Can't Transform Pdu.", 0);
  }
  read.Index = index;
  read.State = header.stat;
  read.Validity = -1;
  entry = std::move(read);
  TraceLog().Write("CMxGsmSms::ReadSmsEntry>>Finish Tokenizing:[%i,%i,%i,%s,%s,%s,%i].\r\n", entry.Index, entry.State,
                   entry.Validity, entry.PhoneNumber.c_str(), entry.ProviderPhone.c_str(), entry.MessageText.c_str(),
                   static_cast<int>(entry.Time));
  const std::string final = dialogue.TracedFinal("Response 3");
  // The message was read whatever the final line says.
  return dialogue.Exit(dialogue.IsOk(final) ? "OK." : "ERROR:Wrong Response 3.", 1);
}

// ---- Sending and storing ---------------------------------------------------------

int CMxGsmSms::SendTextMessage(const std::string& phoneNumber, const std::string& text) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::SendTextMessage(%s,%s)\r\n", phoneNumber.c_str(), text.c_str());
  ServiceDialogue dialogue(m_session, "CMxGsmSms::SendTextMessage");
  if (!fonexa::IsSafeNumber(phoneNumber)) return dialogue.Exit("ERROR:Wrong phone number.", 0);
  const int alphabet = CMxGsmCoding::SelectAlphabet(text);
  // Built in order, the parts of one message share one concatenation reference.
  const std::vector<std::string> parts = CMxGsmCoding::SplitIntoParts(text, alphabet);
  if (parts.empty() || parts.size() > kMaxParts) return dialogue.Exit("ERROR:Message too long.", 0);
  if (!_SelectPduFormat()) return dialogue.Exit("ERROR:Can't select PDU format.", 0);
  const int count = static_cast<int>(parts.size());
  for (int i = 0; i < count; ++i) {
    // Parts already sent stay sent; the ones after a refused part are not tried.
    if (!_SendPartialMessage(phoneNumber, parts[static_cast<size_t>(i)], i + 1, count, alphabet, 0)) {
      return dialogue.Exit(Reason("ERROR:Part not sent:", i + 1).c_str(), 0);
    }
  }
  return dialogue.Exit("OK.", 1);
}

int CMxGsmSms::SendFlashMessage(const std::string& phoneNumber, const std::string& text) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::SendFlashMessage(%s,%s)\r\n", phoneNumber.c_str(), text.c_str());
  ServiceDialogue dialogue(m_session, "CMxGsmSms::SendFlashMessage");
  if (!fonexa::IsSafeNumber(phoneNumber)) return dialogue.Exit("ERROR:Wrong phone number.", 0);
  const int alphabet = CMxGsmCoding::SelectAlphabet(text);
  if (CMxGsmCoding::GetPartCount(text, alphabet) != 1) return dialogue.Exit("ERROR:Message too long.", 0);
  if (!_SelectPduFormat()) return dialogue.Exit("ERROR:Can't select PDU format.", 0);
  if (!_SendPartialMessage(phoneNumber, text, 1, 1, alphabet, 1)) return dialogue.Exit("ERROR:Not sent.", 0);
  return dialogue.Exit("OK.", 1);
}

int CMxGsmSms::_SendPartialMessage(const std::string& phoneNumber, const std::string& text, int partIndex,
                                   int partCount, int alphabet, int flash) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::_SendPartialMessage(%s,%s)\r\n", phoneNumber.c_str(), text.c_str());
  ServiceDialogue dialogue(m_session, "CMxGsmSms::_SendPartialMessage");
  if (!dialogue.RequireOpen(kNotOpened)) return 0;
  if (!fonexa::IsSafeNumber(phoneNumber)) return dialogue.Exit("ERROR:Wrong phone number.", 0);
  std::string pdu;
  const int length = CMxGsmCoding::ConvertToPdu(pdu, phoneNumber, text, alphabet, partIndex, partCount, flash);
  if (length <= 0) return dialogue.Exit(Reason("ERROR:Pdu Length=", length).c_str(), 0);
  if (!WritePduAtPrompt(dialogue, "AT+CMGS=" + std::to_string(length) + "\r", pdu)) {
    return dialogue.Exit("ERROR:Wrong Response 1.", 0);
  }
  // Normally the "+CMGS:" line with the message reference (not used).
  const std::string provider = dialogue.TracedFinal("Provider Response", kNetworkMs);
  // A refusal ("+CMS ERROR: 38" and the like) is the answer's last line.
  if (dialogue.IsError(provider)) return dialogue.Exit("ERROR:Wrong Response 2.", 0);
  std::string line = dialogue.Line(kAfterNetworkAnswerMs);
  if (fonexa::BeginsWith(line, "+CMGS:")) {
    line = dialogue.Final(kNetworkMs);
  } else if (line == "\r\n") {
    line = dialogue.Line(kNetworkMs);
  }
  dialogue.Trace("Response", line);
  if (!dialogue.IsOk(line)) return dialogue.Exit("ERROR:Wrong Response 2.", 0);
  return dialogue.Exit("OK.", 1);
}

int CMxGsmSms::WriteSmsEntry(const std::string& phoneNumber, const std::string& text) {
  if (!m_session) return -1;
  TraceLog().Write("\r\n-->CMxGsmSms::WriteSmsEntry(%s,%s)\r\n", phoneNumber.c_str(), text.c_str());
  ServiceDialogue dialogue(m_session, "CMxGsmSms::WriteSmsEntry");
  const int alphabet = CMxGsmCoding::SelectAlphabet(text);
  if (CMxGsmCoding::GetPartCount(text, alphabet) != 1) return dialogue.Exit("ERROR:Message too long.", -1);
  if (!dialogue.RequireOpen(kNotOpened)) return -1;
  if (!fonexa::IsSafeNumber(phoneNumber)) return dialogue.Exit("ERROR:Wrong phone number.", -1);
  if (!_SelectPduFormat()) return dialogue.Exit("ERROR:Can't select PDU format.", -1);
  std::string pdu;
  const int length = CMxGsmCoding::ConvertToPdu(pdu, phoneNumber, text, alphabet, 1, 1, 0);
  if (length <= 0) return dialogue.Exit(Reason("ERROR:Pdu Length=", length).c_str(), -1);
  if (!WritePduAtPrompt(dialogue, "AT+CMGW=" + std::to_string(length) + "\r", pdu)) {
    return dialogue.Exit("ERROR:Wrong Response 1.", -1);
  }
  const std::string answer = dialogue.TracedFinal("Response", kNetworkMs);
  if (answer.find("+CMGW:") == std::string::npos) return dialogue.Exit("ERROR:Wrong response.", -1);
  const int index = fonexa::ParseCmgwResponse(answer);
  const std::string final = dialogue.TracedFinal("Response 2");
  if (!dialogue.IsOk(final)) return dialogue.Exit("ERROR:Wrong Response 2.", -1);
  return dialogue.Exit("OK.", index);
}

// ---- Storage ------------------------------------------------------------------------

int CMxGsmSms::SetSmsStorage(int storage) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::SetSmsStorage(%i)\r\n", storage);
  ServiceDialogue dialogue(m_session, "CMxGsmSms::SetSMSStorage");
  if (!dialogue.RequireOpen(kCantOpen)) return 0;
  // An empty storage name would not be refused by every phone: under V.250
  // an omitted parameter keeps its value, and the unknown number would be
  // reported as selected.
  const char* name = fonexa::SmsStorageName(storage);
  if (!name) return dialogue.Exit("ERROR:Wrong Storage.", 0);
  const std::string quoted = std::string("\"") + name + "\"";
  dialogue.SendTraced("AT+CPMS=" + quoted + "," + quoted + "\r");
  const std::string first = dialogue.TracedLine("Response 1");
  if (first != "\r\n") return dialogue.Exit("ERROR:Wrong Response.", 0);
  const std::string line = dialogue.TracedLine("Response 2");
  if (dialogue.IsError(line) || !fonexa::BeginsWith(line, "+CPMS:")) return dialogue.Exit("ERROR:Wrong Response.", 0);
  const std::string final = dialogue.TracedFinal("Response 3");
  if (!dialogue.IsOk(final)) return dialogue.Exit("ERROR:Wrong Response.", 0);
  return dialogue.Exit("OK.", 1);
}

int CMxGsmSms::GetSmsStorage(int& storage, int& used, int& total) {
  if (!m_session) return 0;
  TraceLog().Write("\r\n-->CMxGsmSms::GetSmsStorage\r\n");
  ServiceDialogue dialogue(m_session, "CMxGsmSms::GetSmsStorage");
  if (!dialogue.RequireOpen(kNotOpened)) return 0;
  dialogue.SendTraced("AT+CPMS?\r");
  const std::string first = dialogue.TracedLine("Response 1");
  if (first != "\r\n") return dialogue.Exit("ERROR:Wrong Response.", 0);
  const std::string line = dialogue.TracedLine("Response 2");
  if (dialogue.IsError(line) || !fonexa::BeginsWith(line, "+CPMS:")) return dialogue.Exit("ERROR:Wrong Response.", 0);
  const fonexa::CpmsReadResponse response = fonexa::ParseCpmsReadResponse(line);
  if (response.storage < 0) return dialogue.Exit(("Parse error[" + response.name + "].").c_str(), 0);
  if (!response.complete) return dialogue.Exit("Parse error.", 0);
  storage = response.storage;
  used = response.used;
  total = response.total;
  const std::string final = dialogue.TracedFinal("Response 3");
  TraceLog().Write("<--CMxGsmSms::GetSmsStorage>>Parse finished [%d,%d,%d].\r\n", storage, used, total);
  if (!dialogue.IsOk(final)) return dialogue.Exit("ERROR:Wrong Response.", 0);
  return 1;
}
