// Recognising unsolicited result codes in the answer stream and turning them
// into events, and the session's line reader, which filters them out.
#include <cstring>
#include <deque>

#include "fonexa/CMxComPort.h"
#include "fonexa/CMxGsmBasics.h"
#include "codec/DeliveryReports.h"
#include "codec/MessageJoining.h"
#include "codec/SmsResponses.h"
#include "codec/UnsolicitedResponses.h"
#include "platform/Tick.h"
#include "text/DebugLog.h"
#include "text/NumberText.h"

using fonexa::StringToInt;
using fonexa::TraceLog;

namespace {

constexpr int kFollowUpMs = 200;
constexpr int kLineMs = 3000;

enum class LengthRule { AtLeast, LongerThan };

struct UnsolicitedCode {
  const char* prefix;
  LengthRule rule;
  uint32_t (CMxGsmBasics::*handle)(const std::string& line);
};

bool Matches(const std::string& line, const UnsolicitedCode& code) {
  const size_t length = std::strlen(code.prefix);
  if (line.compare(0, length, code.prefix) != 0) return false;
  return code.rule == LengthRule::AtLeast ? line.size() >= length : line.size() > length;
}

// What the follow-up read of a code leaves for the line reader of the same
// thread. Codes are handled on the reading thread, under the session lock, and
// the reader that called the handler takes these lines before it reads the
// port again.
struct FollowUpState {
  // Set while a follow-up read handles a code it met: that code reads no
  // follow-up of its own, so a burst of codes never nests deeper than one.
  int depth = 0;
  // Answer lines the follow-up read took, for the reader of this session.
  const CMxGsmBasics* owner = nullptr;
  std::deque<std::string> carried;
};
thread_local FollowUpState t_followUp;

bool TakeCarried(const CMxGsmBasics* session, std::string& line) {
  if (t_followUp.carried.empty()) return false;
  if (t_followUp.owner != session) {
    t_followUp.carried.clear();  // left by another session's reader: not ours
    return false;
  }
  line = std::move(t_followUp.carried.front());
  t_followUp.carried.pop_front();
  return true;
}

void Carry(const CMxGsmBasics* session, std::string line) {
  if (t_followUp.owner != session) t_followUp.carried.clear();
  t_followUp.owner = session;
  t_followUp.carried.push_back(std::move(line));
}

}  // namespace

std::string CMxGsmBasics::ReadAnswerLineString(int timeoutMs) {
  CMxComPort* port = Port();
  if (!port) return {};
  // Unsolicited codes arrive between answer lines at any time: each one is
  // handled and skipped, in this loop and never by calling the reader again,
  // so a burst of them costs no stack. They share the read's time: a phone
  // that sends nothing but codes makes the read time out, as silence would.
  // A code comes framed in line ends like an answer ("\r\n+CMTI: ...\r\n");
  // when the caller has just taken its opening "\r\n" as the blank line of its
  // own answer, the answer's real blank line follows the code and is dropped,
  // or every answer after a code would be read one line out of step.
  const uint32_t start = fonexa::platform::TickCount();
  const uint32_t allowance = timeoutMs > 0 ? static_cast<uint32_t>(timeoutMs) : 0;
  bool handledCode = false;
  bool dropBlank = false;
  for (;;) {
    std::string line;
    if (!TakeCarried(this, line)) {
      int wait = timeoutMs;
      if (handledCode) {
        const uint32_t spent = fonexa::platform::TickCount() - start;
        if (spent >= allowance) {
          TraceLog().Write("CMxGsmBasics::ReadAnswerLineString>>Unsolicited codes only:[%u ms].\r\n", spent);
          return {};
        }
        wait = static_cast<int>(allowance - spent);
      }
      line = port->ReadAnswerLineString(wait);
    }
    if (dropBlank && line == "\r\n") {
      dropBlank = false;
      continue;
    }
    const bool framedByTakenBlank = m_lastLineBlank;
    ++m_readDepth;
    const uint32_t code = _TestForRingCode(line);
    --m_readDepth;
    if (code == 0) {
      m_lastLineBlank = line == "\r\n";
      return line;
    }
    if (code != kEventCallerId) ++m_ringProcessed;
    handledCode = true;
    dropBlank = framedByTakenBlank;
  }
}

namespace {

// The answer that follows a code, read as "ReadAnswerString" would read it (a
// blank line, then the line), for RING and +CRING, after which phones send
// the caller's +CLIP. A code met there is handled at once, before the code
// that read it is raised, but reads no follow-up of its own. Any other line
// belongs to the answer the caller waits for: inside the line reader it is
// handed back to it, blank line included; otherwise it is only traced.
std::string ReadFollowUp(CMxGsmBasics& session, CMxComPort* port, bool inReader) {
  if (!port || t_followUp.depth > 0) return {};
  std::string blank = port->ReadAnswerLineString(kFollowUpMs);
  std::string line;
  if (blank == "\r\n") {
    line = port->ReadAnswerLineString(kFollowUpMs);
  } else {
    line = std::move(blank);
    blank.clear();
  }
  if (line.empty()) {
    if (inReader && !blank.empty()) Carry(&session, blank);
    return {};
  }
  ++t_followUp.depth;
  const uint32_t code = session._TestForRingCode(line);
  --t_followUp.depth;
  if (code != 0) {
    if (code != CMxGsmBasics::kEventCallerId) session.SetRingEventProcessed();
    return {};
  }
  if (inReader) {
    if (!blank.empty()) Carry(&session, blank);
    Carry(&session, line);
    return {};
  }
  return blank.empty() ? std::string() : line;
}

// "+CDS: <length>" and the report's PDU on the next line (GSM 07.05, +CNMI
// ds=1): matched to the message it reports on and told as its outcome. The
// PDU is read as it comes, like the one of "+CMT:".
uint32_t HandleDirectStatusReport(CMxGsmBasics& session, CMxComPort* port, const std::string& line) {
  const int length = fonexa::ParseCdsLength(line);
  const std::string pdu = port ? port->ReadAnswerLineString(kLineMs) : std::string();
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>REPORT:[%s, %i]\r\n", pdu.c_str(), length);
  fonexa::SmsEntry report;
  if (fonexa::DecodeMessageLine(pdu, length, report) && report.MessageKind == fonexa::SmsEntry::StatusReport) {
    const auto match = fonexa::DeliveryTracker::Process().Report(report.PhoneNumber, report.ReportReference,
                                                                 report.ReportStatus);
    if (match && match->changed) {
      session._TranslateEvent(fonexa::kEventDeliveryReport, fonexa::DeliveryOutcomeName(match->outcome),
                              static_cast<uint32_t>(match->messageId));
    }
  }
  session._TranslateEvent(CMxGsmBasics::kEventRaw, pdu, static_cast<uint32_t>(length < 0 ? 0 : length));
  return CMxGsmBasics::kEventRaw;
}

}  // namespace

uint32_t CMxGsmBasics::_TestForRingCode(const std::string& line) {
  // Tested in this order; the first prefix that matches the start of the line decides.
  // "^SYSSTART ALARM MODE" comes before "^SYSSTART", which is its prefix.
  static const UnsolicitedCode kCodes[] = {
      {"RING", LengthRule::AtLeast, &CMxGsmBasics::HandleRing},
      {"+CLIP:", LengthRule::AtLeast, &CMxGsmBasics::HandleCallerId},
      {"+CRING:", LengthRule::AtLeast, &CMxGsmBasics::HandleCallingRing},
      {"+CMT:", LengthRule::LongerThan, &CMxGsmBasics::HandleDeliveredMessage},
      {"+CMTI:", LengthRule::LongerThan, &CMxGsmBasics::HandleStoredMessage},
      {"+CDSI:", LengthRule::LongerThan, &CMxGsmBasics::HandleStatusReport},
      {"+CDS:", LengthRule::LongerThan, &CMxGsmBasics::HandleStatusReport},
      {"^SYSSTART ALARM MODE", LengthRule::LongerThan, &CMxGsmBasics::HandleAlarmStartUp},
      {"^SYSSTART", LengthRule::AtLeast, &CMxGsmBasics::HandleStartUp},
      {"+CALA:", LengthRule::LongerThan, &CMxGsmBasics::HandleAlarm},
      {"NO CARRIER", LengthRule::AtLeast, &CMxGsmBasics::HandleNoCarrier},
      {"+CREG:", LengthRule::AtLeast, &CMxGsmBasics::HandleRegistration},
  };
  if (line.empty()) return 0;
  uint32_t result = 0;
  for (const auto& code : kCodes) {
    if (Matches(line, code)) {
      result = (this->*code.handle)(line);
      break;
    }
  }
  if (result != 0) TraceLog().Write("CMxGsmBasics::_TestForRingCode>>Found ring event:[%s]\n", line.c_str());
  return result;
}

uint32_t CMxGsmBasics::HandleRing(const std::string&) {
  const std::string next = ReadFollowUp(*this, Port(), m_readDepth > 0);
  if (!next.empty()) TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>[%s]\r\n", next.c_str());
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>RING\r\n");
  _TranslateEvent(kEventRing, "", 0);
  return kEventRing;
}

uint32_t CMxGsmBasics::HandleCallerId(const std::string& line) {
  fonexa::ClipCode code;
  if (!fonexa::ParseClipCode(line, code)) return 0;  // the answer to "AT+CLIP=?"
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>CLIP[%s:%s]\r\n", code.number.c_str(), code.type.c_str());
  _TranslateEvent(kEventCallerId, code.number, static_cast<uint32_t>(StringToInt(code.type)));
  return kEventCallerId;
}

uint32_t CMxGsmBasics::HandleCallingRing(const std::string& line) {
  const std::string type = fonexa::ParseCringCode(line);
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>CRING:[%s]\r\n", type.c_str());
  const std::string next = ReadFollowUp(*this, Port(), m_readDepth > 0);
  if (!next.empty()) TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>[%s]\r\n", next.c_str());
  _TranslateEvent(kEventCallingRing, type, 0);
  return kEventCallingRing;
}

uint32_t CMxGsmBasics::HandleDeliveredMessage(const std::string& line) {
  const int length = fonexa::ParseCmtLength(line);
  // The raw event carries the length field as the phone wrote it: the first
  // field, which is the alpha when one is given.
  const std::string lengthField = fonexa::ParseCmtFirstField(line);
  // The PDU follows at once, and is read as it comes: it is no code.
  CMxComPort* port = Port();
  const std::string pdu = port ? port->ReadAnswerLineString(kLineMs) : std::string();
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>SMS:[%s, %s]\r\n", pdu.c_str(), lengthField.c_str());
  m_acknowledgePending = 1;
  fonexa::SmsEntry message;
  if (fonexa::DecodeMessageLine(pdu, length, message)) {
    _TranslateEvent(kEventNewMessage, message.PhoneNumber + "#" + message.MessageText,
                    static_cast<uint32_t>(message.Time));
    // The part joins the others of its message; the whole message is told
    // once its last part is here. What waited too long is told as it is.
    std::vector<fonexa::JoinedMessage> ready;
    fonexa::PartAssembler& assembler = fonexa::PartAssembler::Process();
    if (auto whole = assembler.Add(message, fonexa::platform::TickCount(), ready)) ready.push_back(std::move(*whole));
    for (auto& late : assembler.Expired(fonexa::platform::TickCount())) ready.push_back(std::move(late));
    for (const fonexa::JoinedMessage& joined : ready) {
      _TranslateEvent(fonexa::kEventJoinedMessage, joined.PhoneNumber + "#" + joined.TextUtf8,
                      static_cast<uint32_t>(joined.MissingParts));
    }
  }
  _TranslateEvent(kEventRaw, pdu, static_cast<uint32_t>(StringToInt(lengthField)));
  return kEventRaw;
}

uint32_t CMxGsmBasics::HandleStoredMessage(const std::string& line) {
  // New stored messages are found by the background monitor's listing.
  const fonexa::StoredIndication stored = fonexa::ParseCmtiCode(line);
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>SMS:[%s,%s]\r\n", stored.storage.c_str(), stored.index.c_str());
  return kEventRaw;
}

uint32_t CMxGsmBasics::HandleStatusReport(const std::string& line) {
  if (line.rfind("+CDSI:", 0) != 0) return HandleDirectStatusReport(*this, Port(), line);
  const fonexa::StoredIndication report = fonexa::ParseCdsiCode(line);
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>REPORT:[%s, %s]\r\n", report.storage.c_str(),
                   report.index.c_str());
  _TranslateEvent(kEventStatusReport, report.storage, static_cast<uint32_t>(StringToInt(report.index)));
  return kEventStatusReport;
}

uint32_t CMxGsmBasics::HandleAlarmStartUp(const std::string&) {
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>^SYSSTART ALARM MODE\r\n");
  // The alarm line that follows is read as it comes from the line, not through
  // the session's filtering reader: that reader would take it for a plain
  // "+CALA:" code of its own and this start-up alarm would never be reported.
  CMxComPort* port = Port();
  const std::string next = port ? port->ReadAnswerLineString(kLineMs) : std::string();
  if (next.size() > 6 && next.rfind("+CALA:", 0) == 0) {
    const std::string word = fonexa::ParseCalaFirstWord(next);
    TraceLog().Write("CMxGsmBasics::_TestForRingCode>>^SYSSTART ALARM MODE:[%s]\r\n", word.c_str());
    _TranslateEvent(kEventAlarmStartUp, word, 0);
    return kEventAlarmStartUp;
  }
  // Inside the line reader the line is the answer's, and goes back to it.
  if (m_readDepth > 0 && !next.empty()) Carry(this, next);
  return 0;
}

uint32_t CMxGsmBasics::HandleStartUp(const std::string&) {
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>^SYSSTART\r\n");
  _TranslateEvent(kEventStartUp, "", 0);
  return kEventStartUp;
}

uint32_t CMxGsmBasics::HandleAlarm(const std::string& line) {
  const std::string text = fonexa::ParseCalaCode(line);
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>CALA:[%s]\r\n", text.c_str());
  _TranslateEvent(kEventAlarm, text, 0);
  return kEventAlarm;
}

uint32_t CMxGsmBasics::HandleNoCarrier(const std::string&) {
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>NO CARRIER\r\n");
  _TranslateEvent(kEventRaw, "", 0);
  return kEventRaw;
}

uint32_t CMxGsmBasics::HandleRegistration(const std::string& line) {
  std::string status;
  if (!fonexa::ParseCregCode(line, status)) return 0;  // the answer to "AT+CREG?"
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>CREG[%s]\r\n", status.c_str());
  return kEventRegistration;
}

unsigned int CMxGsmBasics::RingEventProcessed() {
  const unsigned int value = m_ringProcessed;
  if (value > 0) --m_ringProcessed;
  return value;
}

void CMxGsmBasics::SetRingEventProcessed() { ++m_ringProcessed; }
