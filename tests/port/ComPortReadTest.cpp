#include <gtest/gtest.h>
#include <sys/resource.h>

#include <thread>

#include "PortFixture.h"
#include "TempDir.h"
#include "platform/Tick.h"
#include "text/DebugLog.h"

using fonexa::platform::SleepMs;
using fonexa::platform::TickCount;
using fonexa::testing::OpenPortTest;
using fonexa::testing::ReadWholeFile;
using fonexa::testing::TempDir;

namespace {

double ThreadCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

using ComPortLines = OpenPortTest;

TEST_F(ComPortLines, SilenceUntilTheDeadlineIsNoError) {
  EXPECT_EQ(port.ReadAnswerLineString(200), "");
  EXPECT_EQ(port.GetLastError(), 0);
}

TEST_F(ComPortLines, PartialLineAtTheDeadlineIsReturnedWithError10) {
  peer.Write("OK");
  EXPECT_EQ(port.ReadAnswerLineString(200), "OK");
  EXPECT_EQ(port.GetLastError(), 10);
}

TEST_F(ComPortLines, LineArrivingInPiecesIsAssembled) {
  std::thread device([&] {
    peer.Write("+CSQ: ");
    SleepMs(120);
    peer.Write("17,99");
    SleepMs(80);
    peer.Write("\r");
    SleepMs(60);
    peer.Write("\n");
  });
  EXPECT_EQ(port.ReadAnswerLineString(3000), "+CSQ: 17,99\r\n");
  device.join();
  EXPECT_EQ(port.GetLastError(), 0);
}

TEST_F(ComPortLines, BurstIsReadOneLineAtATimeWithoutConsumingTheNext) {
  peer.Write("\r\n+CPBR: 1,\"123\",129,\"A\"\r\n+CPBR: 2,\"456\",129,\"B\"\r\n\r\nOK\r\n");
  EXPECT_EQ(port.ReadAnswerLineString(1000), "\r\n");
  EXPECT_EQ(port.ReadAnswerLineString(1000), "+CPBR: 1,\"123\",129,\"A\"\r\n");
  EXPECT_EQ(port.ReadAnswerLineString(1000), "+CPBR: 2,\"456\",129,\"B\"\r\n");
  EXPECT_EQ(port.ReadAnswerString(1000), "OK");
}

TEST_F(ComPortLines, AnswerStringNeedsTheOpeningLineEnd) {
  peer.Write("OK\r\n");
  EXPECT_EQ(port.ReadAnswerString(300), "");  // "OK" taken as the two opening bytes
  // Only the two opening bytes were taken: the rest of that line opens the next answer.
  peer.Write("ERROR\r\n");
  EXPECT_EQ(port.ReadAnswerString(300), "ERROR");
}

TEST_F(ComPortLines, StopWindowMakesReadsGiveUpAtOnce) {
  TempDir dir;
  ASSERT_EQ(fonexa::OpenDebugLogs(dir.File("trace.txt")), 1);
  peer.Write("\r\nOK\r\n");
  port.EmulateStop(60000);
  EXPECT_EQ(port.IsStoped(), 1);
  const uint32_t start = TickCount();
  EXPECT_EQ(port.ReadAnswerLineString(5000), "");
  EXPECT_EQ(port._ReadResponseString(-1, 5000), "");
  EXPECT_LT(TickCount() - start, 2000u);
  port.EmulateStop(0);  // ends the window: the waiting answer is still there
  EXPECT_EQ(port.IsStoped(), 0);
  EXPECT_EQ(port.ReadAnswerString(1000), "OK");
  fonexa::CloseDebugLogs();
  EXPECT_EQ(ReadWholeFile(dir.File("com.txt")).substr(0, 13), "R:(stopped)\r\n");
}

TEST_F(ComPortLines, DeviceThatHangsUpMidReadFailsWithoutSpinning) {
  peer.Write("+CPBR: 1,\"12");
  std::thread device([&] {
    SleepMs(100);
    peer.Hangup();
  });
  const double cpuBefore = ThreadCpuSeconds();
  const uint32_t start = TickCount();
  EXPECT_EQ(port.ReadAnswerLineString(20000), "");
  device.join();
  EXPECT_EQ(port.GetLastError(), 3);
  EXPECT_LT(TickCount() - start, 10000u);           // did not wait out its deadline
  EXPECT_LT(ThreadCpuSeconds() - cpuBefore, 0.5);  // and did not busy-loop
  EXPECT_EQ(port.ReadAnswerString(20000), "");
  EXPECT_EQ(port.PurgePort(), 1);  // returns at once on a dead line
}

TEST_F(ComPortLines, CountedReadStopsAtCountOrDeadline) {
  peer.Write(std::string(100, 'x'));
  unsigned char* bytes = nullptr;
  EXPECT_EQ(port._ReadResponseBytes(&bytes, 70, 1000), 70);
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes)), std::string(70, 'x'));
  delete[] bytes;
  EXPECT_EQ(port._ReadResponseBytes(&bytes, -1, 300), 30);  // -1: until the deadline
  delete[] bytes;
  EXPECT_EQ(port._ReadResponseBytes(&bytes, 5, 100), 0);
  EXPECT_EQ(bytes, nullptr);
}

TEST_F(ComPortLines, ResponseStringEndsAtANulByte) {
  peer.Write(std::string("AB\0CD", 5));
  EXPECT_EQ(port._ReadResponseString(5, 500), "AB");
}

using ComPortCommands = OpenPortTest;

TEST_F(ComPortCommands, EchoIsConsumedBeforeTheAnswer) {
  std::thread device([&] {
    const std::string command = peer.ReadUntil("\r", 2000);
    peer.Write(command + "\r\nOK\r\n");
  });
  EXPECT_EQ(port.WriteCommandString("AT\r", 3000), "AT\r");
  device.join();
  EXPECT_EQ(port.ReadAnswerString(3000), "OK");
}

TEST_F(ComPortCommands, WithEchoOffNothingIsRead) {
  port.EnableEcho(0);
  peer.Write("\r\nOK\r\n");  // already waiting: must stay for the answer read
  EXPECT_EQ(port.WriteCommandString("AT\r", 3000), "AT\r");
  EXPECT_EQ(peer.ReadUntil("\r", 1000), "AT\r");
  EXPECT_EQ(port.ReadAnswerString(1000), "OK");
}

TEST_F(ComPortCommands, EmptyCommandSendsNothing) {
  EXPECT_EQ(port.WriteCommandString("", 3000), "");
  EXPECT_EQ(port.WriteString(""), 0);
  EXPECT_EQ(peer.ReadAvailable(100), "");
}

TEST_F(ComPortCommands, WriteStringReadsNoEcho) {
  peer.Write("ATE0\r");
  EXPECT_EQ(port.WriteString("ATE0\r"), 5);
  EXPECT_EQ(port.ReadAnswerLineString(300), "ATE0\r");  // the echo is still there to read
}

TEST_F(ComPortCommands, PortLevelPromptWait) {
  port.EnableEcho(0);
  peer.Write("\r\n> ");
  EXPECT_EQ(port.WriteCommandStringAndWaitForResponse("AT+CMGS=20\r", "> ", 1000), 1);
  peer.Write("\r\nERROR\r\n");
  EXPECT_EQ(port.WriteCommandStringAndWaitForResponse("AT+CMGS=20\r", "> ", 300), 0);
  EXPECT_EQ(port.WriteCommandStringAndWaitForResponse("", "> ", 300), 0);
}

TEST_F(ComPortCommands, RingNeverFiresOnAPseudoTerminal) {
  EXPECT_EQ(port.GetEventRing(), 0);
  EXPECT_EQ(port.WaitEventRing(), 0);  // not armed: returns at once
  ASSERT_EQ(port.SetEventRing(1), 1);
  EXPECT_EQ(port.GetEventRing(), 1);
  std::thread closer([&] {
    SleepMs(150);
    port.ClosePort();
  });
  EXPECT_EQ(port.WaitEventRing(), 0);  // armed: waits until the port closes
  closer.join();
}

TEST(ComPortTrafficLog, OneExchangeIsMirroredByteForByte) {
  TempDir dir;
  fonexa::testing::PtyPeer peer;
  fonexa::testing::TestPort port;
  ASSERT_EQ(port.OpenPort(peer.SlavePath(), 9600, 50, 4096, 8, 0, 0), 1);
  ASSERT_EQ(fonexa::OpenDebugLogs(dir.File("trace.txt")), 1);
  std::thread device([&] {
    peer.ReadUntil("\r", 2000);
    peer.Write("AT\r\r\nOK\r\n");
  });
  port.WriteCommandString("AT\r", 3000);
  device.join();
  EXPECT_EQ(port.ReadAnswerString(3000), "OK");
  fonexa::CloseDebugLogs();
  port.ClosePort();
  EXPECT_EQ(ReadWholeFile(dir.File("com.txt")), "W:AT\rR:\r\nR:OK\r\n");
}
