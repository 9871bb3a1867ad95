// The session's own commands: identification, clock, factory reset,
// diagnostics and pass-through commands.
#include <cstdio>

#include "fonexa/CMxGsmBasics.h"
#include "codec/SessionResponses.h"
#include "session/ServiceDialogue.h"
#include "text/CommandText.h"
#include "text/DebugLog.h"

using fonexa::Bracketed;
using fonexa::Colon;
using fonexa::DialogueRow;
using fonexa::Discipline;
using fonexa::Dotted;
using fonexa::ListingRow;
using fonexa::ServiceDialogue;
using fonexa::TraceLog;
using fonexa::TrafficLog;
using fonexa::Untraced;
using fonexa::WhenAbsent;

namespace {

// The test forms the diagnostics run records, in this order.
const char* const kDiagnosticCommands[] = {
    "AT+CCFC=?\r", "AT+CHLD=?\r", "AT+CLCC=?\r", "AT+CLCK=?\r", "AT+CLIP=?\r", "AT+CLIR=?\r",
    "AT+CMEE=?\r", "AT+COPN=?\r", "AT+CPBR=?\r", "AT+CPBS=?\r", "AT+CPBW=?\r", "AT+CPIN=?\r",
    "AT+CREG=?\r", "AT+CSQ=?\r",  "AT+CMGD=?\r", "AT+CMGF=?\r", "AT+CMGL=?\r", "AT+CMGR=?\r",
    "AT+CMGS=?\r", "AT+CMGW=?\r", "AT+CNMI=?\r", "AT+CPMS=?\r",
};

// A pass-through command is answered by the lines of one command: the test
// forms answer with a line or two, a custom command with a screenful at
// most. A phone that keeps sending is cut off after this many lines, or
// after this long in all.
constexpr size_t kMaxTestLines = 64;
constexpr uint32_t kTestDeadlineMs = 30000;
constexpr size_t kMaxCustomLines = 256;
constexpr uint32_t kCustomDeadlineMs = 60000;

// The session's rows need the port open and write no exit line when it is not.
DialogueRow Row(const char* scope, std::string command) {
  return {.scope = scope, .command = std::move(command), .discipline = Discipline::NeedsOpenSession};
}

// The pass-through commands: sent whether or not the port is open (a closed
// port writes nothing), lines read until a final result, nothing traced.
ListingRow PassThrough(const std::string& command, size_t maxLines, uint32_t deadlineMs) {
  ListingRow listing{.row = Row("", command), .maxEntries = maxLines, .deadlineMs = deadlineMs};
  listing.row.discipline = Discipline::Unchecked;
  listing.row.wrongFirst = nullptr;  // the first line is read like the others
  return listing;
}

}  // namespace

// The identification commands share one row: blank line, information line
// (kept with its line end, whatever it begins with), final result. name is
// null for the serial number, which is read without trace lines.
int CMxGsmBasics::ReadIdentification(const char* command, const char* name, std::string& out) {
  out.clear();
  if (!IsOpened()) return 0;
  const std::string scope = name ? std::string("CMxGsmBasics::") + name : std::string();
  if (name) TraceLog().Write("\r\n-->%s\r\n", scope.c_str());
  DialogueRow row = Row(scope.c_str(), command);
  // Some phones answer "+CGMI: <text>"; the prefix only tells the answer from
  // unsolicited codes, and a line without it is the answer as well.
  const std::string prefix = std::string(command).substr(2, 5) + ":";
  row.prefix = prefix.c_str();
  row.absent = WhenAbsent::Taken;
  row.send = Bracketed("Send");
  row.echo = Bracketed("Echo");
  row.first = Bracketed("Response");
  row.info = Bracketed("Response2");
  row.final = Untraced();
  row.wrongFirst = "ERROR:Wrong Response";
  row.wrongFinal = "ERROR";
  row.ok = "OK";
  return ServiceDialogue(this).Query(row, [&out](const std::string& line) {
    out = line;
    return fonexa::Understood();
  });
}

int CMxGsmBasics::GetManufacturer(std::string& out) { return ReadIdentification("AT+CGMI\r", "GetManufacturer", out); }

int CMxGsmBasics::GetModel(std::string& out) { return ReadIdentification("AT+CGMM\r", "GetModel", out); }

int CMxGsmBasics::GetProductSerialID(std::string& out) { return ReadIdentification("AT+CGSN\r", nullptr, out); }

int CMxGsmBasics::QuerySmsParameters(std::string& out) {
  out.clear();
  DialogueRow row = Row("", "AT+CNMI=?\r");
  row.prefix = "+CNMI:";
  row.rule = fonexa::PrefixRule::BeginsWith;
  return ServiceDialogue(this).Query(row, [&out](const std::string& line) {
    const size_t start = line.find_first_not_of(' ', 6);
    out = start == std::string::npos ? std::string() : line.substr(start);
    return fonexa::Understood();
  });
}

int CMxGsmBasics::GetTime(std::string& out) {
  out.clear();
  TraceLog().Write("\r\n-->CMxGsmBasics::GetTime\r\n");
  DialogueRow row = Row("CMxGsmBasics::GetTime", "AT+CCLK?\r");
  row.notOpened = "ERROR:Port not opened.";
  row.prefix = "+CCLK:";
  row.send = Colon("Send");
  row.echo = Colon("Echo");
  row.first = Colon("Response");
  row.info = Dotted("Response");
  row.final = Dotted("Response");
  return ServiceDialogue(this).Query(row, [&out](const std::string& line) {
    TraceLog().Write("CMxGsmBasics::GetTime>>Start Tokenizing.\r\n");
    if (fonexa::ParseCclkReadResponse(line, out)) return fonexa::Refused("ERROR:Wrong Tokenizing:1.");
    TraceLog().Write("CMxGsmBasics::GetTime>>Finish Toknizing:[%s].\r\n", out.c_str());
    return fonexa::Understood();
  });
}

int CMxGsmBasics::SetTime(const std::string& time) {
  if (time.empty()) return 0;
  TraceLog().Write("\r\n-->CMxGsmBasics::SetTime(%s)\r\n", time.c_str());
  DialogueRow row = Row("CMxGsmBasics::SetTime", "AT+CCLK=\"" + time + "\"\r");
  // The clock text goes inside the quotes as the caller gives it.
  if (!fonexa::FitsCommandLine(time, fonexa::TextPlace::Quoted)) {
    return ServiceDialogue(this, row.scope).Leave("ERROR:Text not fit for a command line.", 0);
  }
  row.notOpened = "ERROR:Port not opened.";
  row.final = Dotted("Response");
  row.wrongFinal = "ERROR:Wrong Response.";
  return ServiceDialogue(this).Command(row);
}

int CMxGsmBasics::RestoreFactorySettings() {
  TraceLog().Write("\r\n-->CMxGsmBasics::RestoreFactorySettings\r\n");
  DialogueRow row = Row("CMxGsmBasics::RestoreFactorySettings", "AT&F0\r");
  row.notOpened = "ERROR: port not opened.";
  row.emptyEchoFails = true;
  row.send = Bracketed("Send");
  row.echo = Bracketed("Echo");
  row.final = Bracketed("Response");
  row.wrongFinal = "ERROR: Wrong response";
  row.ok = "OK";
  return ServiceDialogue(this).Command(row);
}

int CMxGsmBasics::RunDiagnostics(const std::string& filePath) {
  TraceLog().Write("\r\n-->CMxGsmBasics::RunDiagnostics[%s]\r\n", filePath.c_str());
  // The traffic log is set aside for the run: the file receives exactly the
  // device traffic of the run, and the log is as it was afterwards.
  const int setAside = TrafficLog().SetAside();
  TrafficLog().Open(filePath);
  std::string ignored;
  GetManufacturer(ignored);
  GetModel(ignored);
  for (const char* command : kDiagnosticCommands) TestAtCommand(command);
  TrafficLog().PutBack(setAside);
  TraceLog().Write("<--CMxGsmBasics::RunDiagnostics\r\n");
  return 1;
}

int CMxGsmBasics::TestAtCommand(const std::string& command) {
  TraceLog().Write("CMxGsmBasics::TestAtCommand[%s]\r\n", command.c_str());
  // A silent device would keep answering with empty lines: the first one ends
  // the test as a failure.
  return ServiceDialogue(this).Listing(PassThrough(command, kMaxTestLines, kTestDeadlineMs), {});
}

std::string CMxGsmBasics::SendCustomAtCommand(const std::string& command) {
  TraceLog().Write("CMxGsmBasics::SendCustomAtCommand[%s]\r\n", command.c_str());
  ListingRow listing = PassThrough(command, kMaxCustomLines, kCustomDeadlineMs);
  std::string answer;
  listing.observe = [&answer](const std::string& line) { answer += line; };
  ServiceDialogue(this).Listing(listing, {});
  return answer;
}
