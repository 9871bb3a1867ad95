#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "SessionFixture.h"
#include "SimulatedPhone.h"

using fonexa::sim::ModemContext;
using fonexa::testing::LogCapture;
using fonexa::testing::ReadWholeFile;
using fonexa::testing::SessionTest;
using fonexa::testing::SimulatedPhone;
using fonexa::testing::TempDir;

TEST_F(SessionTest, IdentificationKeepsTheLineEnd) {
  Start();
  modem.On("AT+CGMI", "\r\nFonexa Devices\r\n\r\nOK\r\n");
  modem.On("AT+CGMM", "\r\nVM-900\r\n\r\nOK\r\n");
  modem.On("AT+CGSN", "\r\n356938035643809\r\n\r\nOK\r\n");
  std::string text;
  EXPECT_EQ(session.GetManufacturer(text), 1);
  EXPECT_EQ(text, "Fonexa Devices\r\n");
  EXPECT_EQ(session.GetModel(text), 1);
  EXPECT_EQ(text, "VM-900\r\n");
  EXPECT_EQ(session.GetProductSerialID(text), 1);
  EXPECT_EQ(text, "356938035643809\r\n");
}

TEST_F(SessionTest, ErrorRightAfterTheBlankLineIsTheOutput) {
  Start();
  modem.On("AT+CGMI", "\r\nERROR\r\n");
  std::string text;
  EXPECT_EQ(session.GetManufacturer(text), 0);
  EXPECT_EQ(text, "ERROR\r\n");
  modem.On("AT+CGMM", "OK\r\n");
  EXPECT_EQ(session.GetModel(text), 0);  // no blank line first
  EXPECT_EQ(text, "");
}

TEST_F(SessionTest, TraceOfOneWholeExchangeByteForByte) {
  LogCapture logs;
  const size_t before = StartLogged(logs);
  modem.On("AT+CGMI", "\r\nFonexa\r\n\r\nOK\r\n");
  const size_t trafficBefore = logs.Traffic().size();
  std::string text;
  ASSERT_EQ(session.GetManufacturer(text), 1);
  EXPECT_EQ(logs.Trace().substr(before),
            "\r\n-->CMxGsmBasics::GetManufacturer\r\n"
            "CMxGsmBasics::GetManufacturer>>Send[AT+CGMI\r]\r\n"
            "CMxGsmBasics::GetManufacturer>>Echo[AT+CGMI\r]\r\n"
            "CMxGsmBasics::GetManufacturer>>Response[\r\n]\r\n"
            "CMxGsmBasics::GetManufacturer>>Response2[Fonexa\r\n]\r\n"
            "<--CMxGsmBasics::GetManufacturer>>OK\r\n");
  EXPECT_EQ(logs.Traffic().substr(trafficBefore), "W:AT+CGMI\rR:\r\nR:Fonexa\r\nR:\r\nR:OK\r\n");
}

TEST_F(SessionTest, NewMessageIndicationCapabilities) {
  Start();
  modem.On("AT+CNMI=?", "\r\n+CNMI:   (0-3),(0-3),(0,2),(0-2),(0,1)\r\n\r\nOK\r\n");
  std::string text;
  EXPECT_EQ(session.QuerySmsParameters(text), 1);
  EXPECT_EQ(text, "(0-3),(0-3),(0,2),(0-2),(0,1)\r\n");
  modem.On("AT+CNMI=?", "\r\n+CMS ERROR: 500\r\n");
  EXPECT_EQ(session.QuerySmsParameters(text), 0);
  EXPECT_EQ(text, "");
}

TEST_F(SessionTest, ClockReadAndSet) {
  Start();
  modem.On("AT+CCLK?", "\r\n+CCLK: \"24/02/29,13:45:07+04\"\r\n\r\nOK\r\n");
  std::string time;
  EXPECT_EQ(session.GetTime(time), 1);
  EXPECT_EQ(time, "24/02/29,13:45:07+04");
  EXPECT_EQ(session.SetTime(""), 0);
  EXPECT_EQ(session.SetTime("24/03/01,08:00:00+04"), 1);
  EXPECT_EQ(modem.Commands(), (std::vector<std::string>{"AT+CCLK?", "AT+CCLK=\"24/03/01,08:00:00+04\""}));
  modem.On("AT+CCLK?", "\r\n+CCLK:\r\n\r\nOK\r\n");
  EXPECT_EQ(session.GetTime(time), 0);
  EXPECT_EQ(session.RestoreFactorySettings(), 1);
}

TEST_F(SessionTest, CustomCommandReturnsEveryLine) {
  Start();
  EXPECT_EQ(session.SendCustomAtCommand("AT\r"), "\r\nOK\r\n");
  modem.On("AT+CSQ", "\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
  EXPECT_EQ(session.SendCustomAtCommand("AT+CSQ\r"), "\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
  modem.On("AT+BAD", "\r\n+CME ERROR: 4\r\n");
  EXPECT_EQ(session.SendCustomAtCommand("AT+BAD\r"), "\r\n+CME ERROR: 4\r\n");
}

TEST_F(SessionTest, TestCommandOnASilentDeviceEnds) {
  Start();
  EXPECT_EQ(session.TestAtCommand("AT+CSQ=?\r"), 1);
  modem.On("AT+CLIR=?", "\r\nERROR\r\n");
  EXPECT_EQ(session.TestAtCommand("AT+CLIR=?\r"), 0);
  modem.SetSilent(true);
  EXPECT_EQ(session.TestAtCommand("AT+CCFC=?\r"), 0);  // first empty line ends it
  EXPECT_EQ(session.SendCustomAtCommand("AT\r"), "");
}

TEST_F(SessionTest, DiagnosticsGoToTheirOwnFileAndLeaveTheTrafficLogAlone) {
  Start();
  TempDir dir;
  const std::string report = dir.File("diagnostics.txt");
  EXPECT_EQ(session.RunDiagnostics(report), 1);
  const std::string recorded = ReadWholeFile(report);
  EXPECT_EQ(recorded.rfind("W:AT+CGMI\r", 0), 0u);
  EXPECT_NE(recorded.find("W:AT+CPMS=?\rR:\r\nR:OK\r\n"), std::string::npos);
  EXPECT_EQ(modem.Commands().size(), 24u);  // identification and 22 test forms
  EXPECT_FALSE(fonexa::TrafficLog().IsOpen());  // closed before, closed after

  LogCapture logs;
  fonexa::TrafficLog().Write("before;");
  EXPECT_EQ(session.RunDiagnostics(dir.File("second.txt")), 1);
  fonexa::TrafficLog().Write("after");
  const std::string traffic = logs.Traffic();
  EXPECT_EQ(traffic, "before;after");  // the run went elsewhere
}

// ---- What the session's own commands do not let through ----------------------

TEST(ModuleInformationOnPhone, ClockTextsThatWouldEditTheCommandLineSendNothing) {
  SimulatedPhone phone("GenericPhone");
  // A quote and a CR end AT+CCLK="..." early and start a command of their own.
  const std::string injected = "24/01/01,00:00:00\"\rAT+CPBW=1,\"666\",129,\"Evil";
  const size_t mark = phone.Mark();
  EXPECT_EQ(phone.session.SetTime(injected), 0);
  EXPECT_EQ(phone.session.SetTime("24/01/01,00:00:00\x08\x08\x08"), 0);
  EXPECT_EQ(phone.session.SetTime("24/01/01,00:00:00\x7F"), 0);
  EXPECT_EQ(phone.ReceivedSince(mark), "");
  phone.modem->update([](ModemContext& ctx) { EXPECT_EQ(ctx.phoneBooks.find("SM")->entries.count(1), 0u); });
  EXPECT_EQ(phone.session.SetTime("24/01/01,00:00:00+04"), 1);  // and the session is still in step
}

TEST_F(SessionTest, PassThroughCommandsEndAtTheirLineCap) {
  Start();
  modem.On("AT+CLIR=?", "\r\n");
  modem.ClearCommands();
  // A phone that answers a test command with line after line and never a final result.
  std::atomic<bool> stop{false};
  std::thread flood([&] {
    if (!modem.WaitForCommands(1, 5000)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!stop && std::chrono::steady_clock::now() < until) {
      modem.Send("+CLIR: (0-2)\r\n");
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(session.TestAtCommand("AT+CLIR=?\r"), 0);
  const auto took = std::chrono::steady_clock::now() - start;
  stop = true;
  flood.join();
  EXPECT_LT(took, std::chrono::seconds(5));
}
