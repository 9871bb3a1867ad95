// Recognising unsolicited result codes in the answer stream and turning them
// into events.
#include <cstring>

#include "fonexa/CMxComPort.h"
#include "fonexa/CMxGsmBasics.h"
#include "codec/SmsResponses.h"
#include "text/DebugLog.h"
#include "text/NumberText.h"
#include "text/ResponseTokenizer.h"

using fonexa::ResponseTokenizer;
using fonexa::StringToInt;
using fonexa::TraceLog;

namespace {

constexpr int kFollowUpMs = 200;
constexpr int kLineMs = 3000;
const std::string kFieldDelimiters = " ,\"\r\n";

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

// The text after the prefix and the one character (the space) behind it.
std::string Body(const std::string& line, const char* prefix) {
  const size_t skip = std::strlen(prefix) + 1;
  return line.size() > skip ? line.substr(skip) : std::string();
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
  const std::string next = ReadAnswerString(kFollowUpMs, 0);
  if (!next.empty()) TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>[%s]\r\n", next.c_str());
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>RING\r\n");
  _TranslateEvent(kEventRing, "", 0);
  return kEventRing;
}

uint32_t CMxGsmBasics::HandleCallerId(const std::string& line) {
  if (line.rfind("+CLIP: (", 0) == 0) return 0;  // the answer to "AT+CLIP=?"
  ResponseTokenizer fields(Body(line, "+CLIP:"), false, " ,\r\n");
  std::string number = fields.NextToken();
  const std::string type = fields.NextToken();
  std::string bare;
  for (char c : number) {
    if (c != '"') bare.push_back(c);
  }
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>CLIP[%s:%s]\r\n", bare.c_str(), type.c_str());
  _TranslateEvent(kEventCallerId, bare, static_cast<uint32_t>(StringToInt(type)));
  return kEventCallerId;
}

uint32_t CMxGsmBasics::HandleCallingRing(const std::string& line) {
  ResponseTokenizer fields(Body(line, "+CRING:"), false, kFieldDelimiters);
  const std::string type = fields.NextToken();
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>CRING:[%s]\r\n", type.c_str());
  const std::string next = ReadAnswerString(kFollowUpMs, 0);
  if (!next.empty()) TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>[%s]\r\n", next.c_str());
  _TranslateEvent(kEventCallingRing, type, 0);
  return kEventCallingRing;
}

uint32_t CMxGsmBasics::HandleDeliveredMessage(const std::string& line) {
  ResponseTokenizer fields(line.substr(std::strlen("+CMT:")), false, kFieldDelimiters);
  const std::string length = fields.NextToken();
  const std::string pdu = ReadAnswerLineString(kLineMs);
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>SMS:[%s, %s]\r\n", pdu.c_str(), length.c_str());
  m_acknowledgePending = 1;
  fonexa::SmsEntry message;
  if (fonexa::DecodeMessageLine(pdu, fonexa::ParseCmtLength(line), message)) {
    _TranslateEvent(kEventNewMessage, message.PhoneNumber + "#" + message.MessageText,
                    static_cast<uint32_t>(message.Time));
  }
  _TranslateEvent(kEventRaw, pdu, static_cast<uint32_t>(StringToInt(length)));
  return kEventRaw;
}

uint32_t CMxGsmBasics::HandleStoredMessage(const std::string& line) {
  // New stored messages are found by the background monitor's listing.
  ResponseTokenizer fields(Body(line, "+CMTI:"), false, kFieldDelimiters);
  const std::string storage = fields.NextToken();
  const std::string index = fields.NextToken();
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>SMS:[%s,%s]\r\n", storage.c_str(), index.c_str());
  return kEventRaw;
}

uint32_t CMxGsmBasics::HandleStatusReport(const std::string& line) {
  ResponseTokenizer fields(Body(line, "+CDSI:"), false, kFieldDelimiters);
  const std::string storage = fields.NextToken();
  const std::string index = fields.NextToken();
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>REPORT:[%s, %s]\r\n", storage.c_str(), index.c_str());
  _TranslateEvent(kEventStatusReport, storage, static_cast<uint32_t>(StringToInt(index)));
  return kEventStatusReport;
}

uint32_t CMxGsmBasics::HandleAlarmStartUp(const std::string&) {
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>^SYSSTART ALARM MODE\r\n");
  // The alarm line that follows is read as it comes from the line, not through
  // the session's filtering reader: that reader would take it for a plain
  // "+CALA:" code of its own and this start-up alarm would never be reported.
  CMxComPort* port = m_device ? m_device->GetComPort() : nullptr;
  const std::string next = port ? port->ReadAnswerLineString(kLineMs) : std::string();
  if (next.size() > 6 && next.rfind("+CALA:", 0) == 0) {
    ResponseTokenizer fields(Body(next, "+CALA:"), false, kFieldDelimiters);
    const std::string word = fields.NextToken();
    TraceLog().Write("CMxGsmBasics::_TestForRingCode>>^SYSSTART ALARM MODE:[%s]\r\n", word.c_str());
    _TranslateEvent(kEventAlarmStartUp, word, 0);
    return kEventAlarmStartUp;
  }
  return 0;
}

uint32_t CMxGsmBasics::HandleStartUp(const std::string&) {
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>^SYSSTART\r\n");
  _TranslateEvent(kEventStartUp, "", 0);
  return kEventStartUp;
}

uint32_t CMxGsmBasics::HandleAlarm(const std::string& line) {
  ResponseTokenizer fields(Body(line, "+CALA:"), false, "\r\n");
  const std::string text = fields.NextToken();
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
  if (line.find(',') != std::string::npos) return 0;  // the answer to "AT+CREG?"
  ResponseTokenizer fields(Body(line, "+CREG:"), false, kFieldDelimiters);
  TraceLog().Write("\nCMxGsmBasics::_TestForRingCode>>CREG[%s]\r\n", fields.NextToken().c_str());
  return kEventRegistration;
}

unsigned int CMxGsmBasics::RingEventProcessed() {
  const unsigned int value = m_ringProcessed;
  if (value > 0) --m_ringProcessed;
  return value;
}

void CMxGsmBasics::SetRingEventProcessed() { ++m_ringProcessed; }
