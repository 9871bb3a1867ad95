// The session's own commands: identification, clock, factory reset,
// diagnostics and pass-through commands.
#include <cstdio>

#include "fonexa/CMxGsmBasics.h"
#include "text/DebugLog.h"
#include "text/ResponseTokenizer.h"

using fonexa::ResponseTokenizer;
using fonexa::TraceLog;
using fonexa::TrafficLog;

namespace {

constexpr uint32_t kTimeoutMs = 3000;

// The test forms the diagnostics run records, in this order.
const char* const kDiagnosticCommands[] = {
    "AT+CCFC=?\r", "AT+CHLD=?\r", "AT+CLCC=?\r", "AT+CLCK=?\r", "AT+CLIP=?\r", "AT+CLIR=?\r",
    "AT+CMEE=?\r", "AT+COPN=?\r", "AT+CPBR=?\r", "AT+CPBS=?\r", "AT+CPBW=?\r", "AT+CPIN=?\r",
    "AT+CREG=?\r", "AT+CSQ=?\r",  "AT+CMGD=?\r", "AT+CMGF=?\r", "AT+CMGL=?\r", "AT+CMGR=?\r",
    "AT+CMGS=?\r", "AT+CMGW=?\r", "AT+CNMI=?\r", "AT+CPMS=?\r",
};

}  // namespace

// The identification commands share one dialogue: blank line, information
// line (kept with its line end), final result. name is null for the serial
// number, which is read without trace lines.
int CMxGsmBasics::ReadIdentification(const char* command, const char* name, std::string& out) {
  out.clear();
  if (!IsOpened()) return 0;
  if (name) {
    TraceLog().Write("\r\n-->CMxGsmBasics::%s\r\n", name);
    TraceLog().Write("CMxGsmBasics::%s>>Send[%s]\r\n", name, command);
  }
  const std::string echo = WriteCommandString(command, kTimeoutMs);
  if (name) TraceLog().Write("CMxGsmBasics::%s>>Echo[%s]\r\n", name, echo.c_str());
  const std::string first = ReadAnswerLineString(kTimeoutMs);
  if (name) TraceLog().Write("CMxGsmBasics::%s>>Response[%s]\r\n", name, first.c_str());
  if (first != "\r\n") {
    if (name) TraceLog().Write("<--CMxGsmBasics::%s>>ERROR:Wrong Response\r\n", name);
    return 0;
  }
  out = ReadAnswerLineString(kTimeoutMs);
  if (name) TraceLog().Write("CMxGsmBasics::%s>>Response2[%s]\r\n", name, out.c_str());
  if (IsOk(ReadAnswerString(kTimeoutMs, 0))) {
    if (name) TraceLog().Write("<--CMxGsmBasics::%s>>OK\r\n", name);
    return 1;
  }
  if (name) TraceLog().Write("<--CMxGsmBasics::%s>>ERROR\r\n", name);
  return 0;
}

int CMxGsmBasics::GetManufacturer(std::string& out) { return ReadIdentification("AT+CGMI\r", "GetManufacturer", out); }

int CMxGsmBasics::GetModel(std::string& out) { return ReadIdentification("AT+CGMM\r", "GetModel", out); }

int CMxGsmBasics::GetProductSerialID(std::string& out) { return ReadIdentification("AT+CGSN\r", nullptr, out); }

int CMxGsmBasics::QuerySmsParameters(std::string& out) {
  out.clear();
  if (!IsOpened()) return 0;
  WriteCommandString("AT+CNMI=?\r", kTimeoutMs);
  if (ReadAnswerLineString(kTimeoutMs) != "\r\n") return 0;
  const std::string line = ReadAnswerLineString(kTimeoutMs);
  if (line.compare(0, 6, "+CNMI:") != 0) return 0;
  const size_t start = line.find_first_not_of(' ', 6);
  out = start == std::string::npos ? std::string() : line.substr(start);
  return IsOk(ReadAnswerString(kTimeoutMs, 0));
}

int CMxGsmBasics::GetTime(std::string& out) {
  out.clear();
  TraceLog().Write("\r\n-->CMxGsmBasics::GetTime\r\n");
  if (!IsOpened()) {
    TraceLog().Write("<--CMxGsmBasics::GetTime>>ERROR:Port not opened.\r\n");
    return 0;
  }
  TraceLog().Write("CMxGsmBasics::GetTime>>Send:[AT+CCLK?\r]\r\n");
  const std::string echo = WriteCommandString("AT+CCLK?\r", kTimeoutMs);
  TraceLog().Write("CMxGsmBasics::GetTime>>Echo:[%s]\r\n", echo.c_str());
  const std::string first = ReadAnswerLineString(kTimeoutMs);
  TraceLog().Write("CMxGsmBasics::GetTime>>Response:[%s]\r\n", first.c_str());
  if (first != "\r\n") {
    TraceLog().Write("<--CMxGsmBasics::GetTime>>ERROR:Wrong Response 1.\r\n");
    return 0;
  }
  const std::string line = ReadAnswerLineString(kTimeoutMs);
  TraceLog().Write("CMxGsmBasics::GetTime>>Response:[%s].\r\n", line.c_str());
  if (line.size() <= 6 || line.compare(0, 6, "+CCLK:") != 0) {
    TraceLog().Write("<--CMxGsmBasics::GetTime>>ERROR:Wrong Response 2.\r\n");
    return 0;
  }
  TraceLog().Write("CMxGsmBasics::GetTime>>Start Tokenizing.\r\n");
  ResponseTokenizer fields(line.substr(7), false, " \"\r\n");
  if (!fields.HasMoreTokens()) {
    TraceLog().Write("<--CMxGsmBasics::GetTime>>ERROR:Wrong Tokenizing:1.\r\n");
    return 0;
  }
  out = fields.NextToken();
  TraceLog().Write("CMxGsmBasics::GetTime>>Finish Toknizing:[%s].\r\n", out.c_str());
  const std::string final = ReadAnswerString(kTimeoutMs, 0);
  TraceLog().Write("CMxGsmBasics::GetTime>>Response:[%s].\r\n", final.c_str());
  if (IsOk(final)) {
    TraceLog().Write("<--CMxGsmBasics::GetTime>>OK.\r\n");
    return 1;
  }
  TraceLog().Write("<--CMxGsmBasics::GetTime>>ERROR:Wrong Response 3.\r\n");
  return 0;
}

int CMxGsmBasics::SetTime(const std::string& time) {
  if (time.empty()) return 0;
  TraceLog().Write("\r\n-->CMxGsmBasics::SetTime(%s)\r\n", time.c_str());
  if (!IsOpened()) {
    TraceLog().Write("<--CMxGsmBasics::SetTime>>ERROR:Port not opened.\r\n");
    return 0;
  }
  const std::string command = "AT+CCLK=\"" + time + "\"\r";
  TraceLog().Write("CMxGsmBasics::SetTime>>Send:[%s].\r\n", command.c_str());
  const std::string echo = WriteCommandString(command, kTimeoutMs);
  TraceLog().Write("CMxGsmBasics::SetTime>>Echo:[%s].\r\n", echo.c_str());
  const std::string answer = ReadAnswerString(kTimeoutMs, 0);
  TraceLog().Write("CMxGsmBasics::SetTime>>Response:[%s].\r\n", answer.c_str());
  if (IsOk(answer)) {
    TraceLog().Write("<--CMxGsmBasics::SetTime>>OK.\r\n");
    return 1;
  }
  TraceLog().Write("<--CMxGsmBasics::SetTime>>ERROR:Wrong Response.\r\n");
  return 0;
}

int CMxGsmBasics::RestoreFactorySettings() {
  TraceLog().Write("\r\n-->CMxGsmBasics::RestoreFactorySettings\r\n");
  if (!IsOpened()) {
    TraceLog().Write("<--CMxGsmBasics::RestoreFactorySettings>>ERROR: port not opened.\r\n");
    return 0;
  }
  TraceLog().Write("CMxGsmBasics::RestoreFactorySettings>>Send[%s]\r\n", "AT&F0\r");
  const std::string echo = WriteCommandString("AT&F0\r", kTimeoutMs);
  TraceLog().Write("CMxGsmBasics::RestoreFactorySettings>>Echo[%s]\r\n", echo.c_str());
  if (echo.empty()) return 0;
  const std::string answer = ReadAnswerString(kTimeoutMs, 0);
  TraceLog().Write("CMxGsmBasics::RestoreFactorySettings>>Response[%s]\r\n", answer.c_str());
  if (IsOk(answer)) {
    TraceLog().Write("<--CMxGsmBasics::RestoreFactorySettings>>OK\r\n");
    return 1;
  }
  TraceLog().Write("<--CMxGsmBasics::RestoreFactorySettings>>ERROR: Wrong response\r\n");
  return 0;
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
  WriteCommandString(command, kTimeoutMs);
  // A silent device would keep answering with empty lines: the first one ends
  // the test as a failure.
  for (;;) {
    const std::string line = ReadAnswerLineString(kTimeoutMs);
    if (line.empty()) return 0;
    if (IsOk(line)) return 1;
    if (IsError(line)) return 0;
  }
}

std::string CMxGsmBasics::SendCustomAtCommand(const std::string& command) {
  TraceLog().Write("CMxGsmBasics::SendCustomAtCommand[%s]\r\n", command.c_str());
  WriteCommandString(command, kTimeoutMs);
  std::string answer;
  for (;;) {
    const std::string line = ReadAnswerLineString(kTimeoutMs);
    answer += line;
    if (line.empty() || IsOk(line) || IsError(line)) return answer;
  }
}
