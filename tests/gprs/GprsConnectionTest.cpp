// A GPRS connection through the Gprs exports, with the scripted pppd stand-in
// in pppd's place.
#include <dirent.h>

#include <filesystem>
#include <fstream>

#include "GprsFixture.h"
#include "platform/RemoteAccess.h"
#include "platform/SoundPlayer.h"

namespace fonexa::testing {
namespace {

using namespace std::chrono_literals;

const std::vector<uint32_t> kCodesUpToConnected{0, 1, 2, 3, 4, 5, 6, 7};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// ---- Synchronous dial ------------------------------------------------------

TEST_F(GprsTest, SynchronousDialReturnsWithTheLinkUpAndPlaysTheConnectSound) {
  ScriptConnecting({"hang"});
  EXPECT_EQ(GprsOpenConnection(c_, "gprs", nullptr, "web", "secret", ""), 1);
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_CONNECTED);
  ASSERT_TRUE(WaitForPlays(1));
  EXPECT_EQ(Played(), "played " + ConnectSound() + "\n");
  EXPECT_EQ(Recorded("arg"), (std::vector<std::string>{"call", "gprs", "nodetach", "logfd", "3", "dump", "file",
                                                       Recorded("arg").back()}));

  const pid_t pppd = LastPppdPid();
  EXPECT_EQ(GprsCloseConnection(c_), 1);
  EXPECT_FALSE(ProcessExists(pppd));
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_IDLE);
  ASSERT_TRUE(WaitForPlays(2));
  EXPECT_EQ(Played(), "played " + ConnectSound() + "\nplayed " + DisconnectSound() + "\n");

  const std::string trace = Trace();
  for (const char* line : {"CMxConnection::_AddConnection(gprs,web,********,)\r\n",
                           "CMxConnection::_AddConnection::RasDial...\r\n",
                           "CMxConnection::_AddConnection::RasDial:OK\r\n", "CMxConnection::GetStatus(8192)\r\n",
                           "CMxConnection::_RemoveConnection\r\nCMxConnection::_RemoveConnection:RasHangUp\r\n"
                           "CMxConnection::_RemoveConnection:Wait for ERROR_INVALID_HANDLE\r\n",
                           "CMxConnection::_RemoveConnection:ERROR_INVALID_HANDLE came \r\n"}) {
    EXPECT_TRUE(Contains(trace, line)) << line;
  }
  EXPECT_FALSE(Contains(trace, "Starts asynchronous connection"));
  EXPECT_FALSE(Contains(trace, "secret"));
}

TEST_F(GprsTest, SynchronousDialThatPppdGivesUpReturns0WithItsExitCodeTraced) {
  Script({"say Serial connection established.", "sleep 20", "say Connect script failed", "exit 8"});
  EXPECT_EQ(GprsOpenConnection(c_, "gprs", nullptr, "", "", ""), 0);
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_IDLE);
  EXPECT_TRUE(Contains(Trace(), "CMxConnection::_AddConnection::RasDial:ERROR:8\r\n"));
  // The failed dial was hung up like any other: the disconnect sound, never
  // the connect sound.
  ASSERT_TRUE(WaitForPlays(1));
  EXPECT_EQ(Played(), "played " + DisconnectSound() + "\n");
}

TEST_F(GprsTest, LogLinesArrivingInPiecesStillBringTheLinkUp) {
  Script({"chunks Serial connection established.", "chunks Using interface ppp0",
          "chunks Connect: ppp0 <--> /dev/ttyACM0", "chunks local  IP address 10.1.1.1", "hang"});
  EXPECT_EQ(GprsOpenConnection(c_, "gprs", nullptr, "", "", ""), 1);
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_CONNECTED);
}

// ---- Asynchronous dial -----------------------------------------------------

TEST_F(GprsTest, AsynchronousDialReportsEveryProgressCodeInOrderToAHandler) {
  ScriptConnecting({"hang"});
  ProgressLog progress;
  EXPECT_EQ(GprsOpenConnection(c_, "gprs", &progress, "web", "secret", ""), 1);
  ASSERT_TRUE(progress.WaitForCode(7));
  EXPECT_EQ(progress.Codes(), kCodesUpToConnected);
  for (const auto& n : progress.Notices()) EXPECT_EQ(n.error, 0u);
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_CONNECTED);
  ASSERT_TRUE(WaitForPlays(1));
  EXPECT_EQ(Played(), "played " + ConnectSound() + "\n");

  // Closing tells the handler the connection has ended, once.
  EXPECT_EQ(GprsCloseConnection(c_), 1);
  std::vector<uint32_t> expected = kCodesUpToConnected;
  expected.push_back(8);
  EXPECT_EQ(progress.Codes(), expected);

  const std::string trace = Trace();
  for (const char* line : {"CMxConnection::_AddConnection::Starts asynchronous connection.\r\n",
                           "CMxConnection::_AddConnection::MxConnectionProgressDlg created for connection.\r\n",
                           "CMxConnectionNotifyWnd::WindowProc>>OpenPort\r\n",
                           "CMxConnectionNotifyWnd::WindowProc>>LinkEstablished\r\n",
                           "CMxConnectionNotifyWnd::WindowProc>>Authenticated\r\n",
                           "CMxConnectionNotifyWnd::WindowProc>>Connected\r\n",
                           "CMxConnection::TerminateConnection:EXIT\r\n"}) {
    EXPECT_TRUE(Contains(trace, line)) << line;
  }
}

TEST_F(GprsTest, AsynchronousDialReportsEveryProgressCodeInOrderToAWindow) {
  ScriptConnecting({"hang"});
  ProgressLog progress;
  MxWindow window = MxCreateWindow(&ProgressLog::WindowProcedure, &progress);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GprsOpenConnectionHwnd(c_, "gprs", window, "", "", ""), 1);
  ASSERT_TRUE(progress.WaitForCode(7));
  EXPECT_EQ(progress.Codes(), kCodesUpToConnected);
  EXPECT_EQ(GprsCloseConnection(c_), 1);
  EXPECT_EQ(progress.Codes().back(), 8u);
  MxDestroyWindow(window);
}

TEST_F(GprsTest, SecondOpenWhileConnectedReturns1WithoutDialling) {
  ScriptConnecting({"hang"});
  ProgressLog progress;
  ASSERT_EQ(GprsOpenConnection(c_, "gprs", &progress, "", "", ""), 1);
  ASSERT_TRUE(progress.WaitForCode(7));
  ProgressLog second;
  EXPECT_EQ(GprsOpenConnection(c_, "other", &second, "", "", ""), 1);
  EXPECT_EQ(GprsOpenConnection(c_, "other", nullptr, "", "", ""), 1);
  EXPECT_EQ(Recorded("pid").size(), 1u);
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_CONNECTED);
  EXPECT_TRUE(second.Codes().empty());
  EXPECT_EQ(GprsCloseConnection(c_), 1);
  EXPECT_EQ(progress.Codes().back(), 8u);
  EXPECT_TRUE(second.Codes().empty());
}

TEST_F(GprsTest, SecondOpenWhileDiallingReturns1WithoutDialling) {
  Script({"say Serial connection established.", "hang"});
  ProgressLog progress;
  ASSERT_EQ(GprsOpenConnection(c_, "gprs", &progress, "", "", ""), 1);
  ASSERT_TRUE(progress.WaitForCode(3));
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_DIALLING);
  EXPECT_EQ(GprsOpenConnection(c_, "gprs", &progress, "", "", ""), 1);
  EXPECT_EQ(Recorded("pid").size(), 1u);
  EXPECT_EQ(GprsCloseConnection(c_), 1);
}

TEST_F(GprsTest, DialFailureGivesCode8ToTheHandler) {
  Script({"say Serial connection established.", "say Connect: ppp0 <--> /dev/ttyUSB0",
          "say PAP authentication failed", "exit 19"});
  ProgressLog progress;
  EXPECT_EQ(GprsOpenConnection(c_, "gprs", &progress, "web", "wrong", ""), 1);
  ASSERT_TRUE(progress.WaitForCode(8));
  EXPECT_EQ(progress.Codes(), (std::vector<uint32_t>{0, 1, 2, 3, 4, 8}));
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_IDLE);
  EXPECT_TRUE(Contains(Trace(), "CMxConnectionNotifyWnd::WindowProc>>Disconnected\r\n"));
  // The ended link was let go: a new dial goes out.
  ScriptConnecting({"hang"});
  ProgressLog again;
  EXPECT_EQ(GprsOpenConnection(c_, "gprs", &again, "web", "right", ""), 1);
  EXPECT_TRUE(again.WaitForCode(7));
  EXPECT_EQ(Recorded("pid").size(), 2u);
  EXPECT_EQ(GprsCloseConnection(c_), 1);
}

TEST_F(GprsTest, PppdThatCannotBeStartedGivesCode8AndResult0) {
  setenv("FONEXA_PPPD", dir_.File("no-such-pppd").c_str(), 1);
  ProgressLog progress;
  EXPECT_EQ(GprsOpenConnection(c_, "gprs", &progress, "", "", ""), 0);
  EXPECT_EQ(progress.Codes(), (std::vector<uint32_t>{8}));
  EXPECT_TRUE(Contains(Trace(), "CMxConnection::_AddConnection::RasDial:ERROR:127\r\n"));
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_IDLE);
}

TEST_F(GprsTest, PlatformEndingTheLinkGivesCode8) {
  ScriptConnecting({"sleep 100", "say Modem hangup", "say Connection terminated.", "exit 16"});
  ProgressLog progress;
  ASSERT_EQ(GprsOpenConnection(c_, "gprs", &progress, "", "", ""), 1);
  ASSERT_TRUE(progress.WaitForCode(8));
  std::vector<uint32_t> expected = kCodesUpToConnected;
  expected.push_back(8);
  EXPECT_EQ(progress.Codes(), expected);
  EXPECT_EQ(progress.Notices().back().error, 0u);
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_IDLE);
  // Nothing is left to close; the close says nothing more.
  EXPECT_EQ(GprsCloseConnection(c_), 1);
  EXPECT_EQ(progress.Codes().size(), expected.size());
}

TEST_F(GprsTest, HandlerMayCloseTheConnectionFromItsProgressCall) {
  ScriptConnecting({"hang"});
  struct Closer : IMxConnectionHandler {
    MxConnectionHandle c = nullptr;
    ProgressLog log;
    void OnConnectionProgress(uint32_t code, uint32_t error) override {
      log.Add(code, error);
      if (code == 7) GprsCloseConnection(c);
    }
  } closer;
  closer.c = c_;
  ASSERT_EQ(GprsOpenConnection(c_, "gprs", &closer, "", "", ""), 1);
  ASSERT_TRUE(closer.log.WaitForCode(8));
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_IDLE);
  EXPECT_FALSE(ProcessExists(LastPppdPid()));
}

TEST_F(GprsTest, ReleaseWhileConnectedHangsUpFirst) {
  ScriptConnecting({"hang"});
  ProgressLog progress;
  ASSERT_EQ(GprsOpenConnection(c_, "gprs", &progress, "", "", ""), 1);
  ASSERT_TRUE(progress.WaitForCode(7));
  const pid_t pppd = LastPppdPid();
  GprsRelease(c_);
  c_ = nullptr;
  EXPECT_FALSE(ProcessExists(pppd));
  EXPECT_EQ(progress.Codes().back(), 8u);
  ASSERT_TRUE(WaitForPlays(2));
  EXPECT_EQ(Played(), "played " + ConnectSound() + "\nplayed " + DisconnectSound() + "\n");
}

// ---- Close, status ---------------------------------------------------------

TEST_F(GprsTest, CloseOnAnIdleObjectReturns1AndSendsNothing) {
  Script({"exit 1"});
  EXPECT_EQ(GprsCloseConnection(c_), 1);
  EXPECT_TRUE(PppdRecord().empty());
  EXPECT_FALSE(WaitForPlays(1, 300ms));
  const std::string trace = Trace();
  EXPECT_TRUE(Contains(trace, "CMxConnection::_RemoveConnection\r\n"));
  EXPECT_FALSE(Contains(trace, "RasHangUp"));
  EXPECT_FALSE(Contains(trace, "TerminateConnection"));
}

TEST_F(GprsTest, StatusFollowsTheLink) {
  EXPECT_EQ(GprsGetStatus(nullptr), -1);
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_IDLE);

  // Dialled without a handler, ended by the network: nobody is told, the
  // status says so, and a close lets the link go.
  ScriptConnecting({"sleep 100", "say Modem hangup", "exit 16"});
  ASSERT_EQ(GprsOpenConnection(c_, "gprs", nullptr, "", "", ""), 1);
  const auto end = std::chrono::steady_clock::now() + 5s;
  while (GprsGetStatus(c_) == FONEXA_GPRS_STATUS_CONNECTED && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_DISCONNECTED);
  EXPECT_TRUE(Contains(Trace(), "CMxConnection::GetStatus(8193)\r\n"));
  EXPECT_EQ(GprsCloseConnection(c_), 1);
  EXPECT_EQ(GprsGetStatus(c_), FONEXA_GPRS_STATUS_IDLE);
}

TEST_F(GprsTest, NullHandleAnswersEveryExportWithItsFailureValue) {
  ProgressLog progress;
  EXPECT_EQ(GprsOpenConnection(nullptr, "gprs", &progress, "", "", ""), 0);
  EXPECT_EQ(GprsOpenConnectionHwnd(nullptr, "gprs", nullptr, "", "", ""), 0);
  EXPECT_EQ(GprsOpenConnection(c_, nullptr, nullptr, "", "", ""), 0);
  EXPECT_EQ(GprsCloseConnection(nullptr), 0);
  EXPECT_EQ(GprsSetConnectionTones(nullptr, "a", "b"), 0);
  EXPECT_EQ(GprsGetSpeed(nullptr), 0);
  EXPECT_EQ(GprsGetDuration(nullptr), 0);
  EXPECT_EQ(GprsGetSentBytes(nullptr), 0);
  EXPECT_EQ(GprsGetReceivedBytes(nullptr), 0);
  GprsRelease(nullptr);
  EXPECT_TRUE(progress.Codes().empty());
  EXPECT_TRUE(PppdRecord().empty());
}

// ---- Figures of the link ---------------------------------------------------

TEST_F(GprsTest, CountersComeFromThePppInterfaceWhileConnectedAndAre0AfterTheClose) {
  const std::string statistics = dir_.File("net/ppp0/statistics");
  std::filesystem::create_directories(statistics);
  std::ofstream(statistics + "/tx_bytes") << "1234\n";
  std::ofstream(statistics + "/rx_bytes") << "5000000000\n";
  platform::RemoteAccess::SetInterfaceFolder(dir_.File("net"));

  EXPECT_EQ(GprsGetSentBytes(c_), 0);
  ScriptConnecting({"hang"});
  ASSERT_EQ(GprsOpenConnection(c_, "gprs", nullptr, "", "", ""), 1);
  EXPECT_EQ(GprsGetSpeed(c_), 115200);
  EXPECT_EQ(GprsGetSentBytes(c_), 1234);
  EXPECT_EQ(GprsGetReceivedBytes(c_), INT32_MAX);  // 5 GB does not fit
  EXPECT_GE(GprsGetDuration(c_), 0);
  EXPECT_LE(GprsGetDuration(c_), 1);

  EXPECT_EQ(GprsCloseConnection(c_), 1);
  EXPECT_EQ(GprsGetSpeed(c_), 0);
  EXPECT_EQ(GprsGetSentBytes(c_), 0);
  EXPECT_EQ(GprsGetReceivedBytes(c_), 0);
  EXPECT_EQ(GprsGetDuration(c_), 0);
  platform::RemoteAccess::SetInterfaceFolder("/sys/class/net");
}

TEST_F(GprsTest, FiguresAre0WhileTheLinkIsStillBeingDialled) {
  Script({"say 57600", "say Serial connection established.", "say Using interface ppp0", "hang"});
  ProgressLog progress;
  ASSERT_EQ(GprsOpenConnection(c_, "gprs", &progress, "", "", ""), 1);
  ASSERT_TRUE(progress.WaitForCode(3));
  EXPECT_EQ(GprsGetSpeed(c_), 0);
  EXPECT_EQ(GprsGetDuration(c_), 0);
  EXPECT_EQ(GprsCloseConnection(c_), 1);
}

// ---- Sounds ----------------------------------------------------------------

TEST_F(GprsTest, ConnectionTonesChooseWhatIsPlayedOnConnectAndAfterHangUp) {
  std::ofstream(dir_.File("hello.wav")) << "RIFF";
  std::ofstream(dir_.File("bye.wav")) << "RIFF";
  EXPECT_EQ(GprsSetConnectionTones(c_, dir_.File("hello.wav").c_str(), dir_.File("bye.wav").c_str()), 1);
  ScriptConnecting({"hang"});
  ASSERT_EQ(GprsOpenConnection(c_, "gprs", nullptr, "", "", ""), 1);
  ASSERT_TRUE(WaitForPlays(1));
  EXPECT_EQ(GprsCloseConnection(c_), 1);
  ASSERT_TRUE(WaitForPlays(2));
  EXPECT_EQ(Played(), "played " + dir_.File("hello.wav") + "\nplayed " + dir_.File("bye.wav") + "\n");
}

TEST_F(GprsTest, SoundPlayerPlaysNothingForAMissingFileOrAMissingPlayer) {
  EXPECT_FALSE(platform::SoundPlayer::PlayAsync(dir_.File("absent.wav")));
  EXPECT_FALSE(platform::SoundPlayer::PlayAsync(""));
  setenv("FONEXA_SOUND_PLAYER", dir_.File("no-such-player").c_str(), 1);
  EXPECT_FALSE(platform::SoundPlayer::PlayAsync(ConnectSound()));
  setenv("FONEXA_SOUND_PLAYER", FAKE_PLAYER_PATH, 1);
  EXPECT_TRUE(platform::SoundPlayer::PlayAsync(ConnectSound()));
  ASSERT_TRUE(WaitForPlays(1));
  EXPECT_EQ(Played(), "played " + ConnectSound() + "\n");
}

// ---- The password ----------------------------------------------------------

// Every process's command line, as any user of the machine can read it.
std::vector<std::string> AllCommandLines() {
  std::vector<std::string> lines;
  DIR* proc = opendir("/proc");
  if (!proc) return lines;
  while (dirent* e = readdir(proc)) {
    if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
    lines.push_back(ReadWholeFile(std::string("/proc/") + e->d_name + "/cmdline"));
  }
  closedir(proc);
  return lines;
}

TEST_F(GprsTest, PasswordReachesPppdThroughAPrivateFileAndNoCommandLine) {
  const std::string password = "Zq7#\"pw\\x";
  ScriptConnecting({"hang"});
  ASSERT_EQ(GprsOpenConnection(c_, "gprs", nullptr, "web", password.c_str(), "CORP"), 1);
  const pid_t pppd = LastPppdPid();
  ASSERT_TRUE(ProcessExists(pppd));

  const std::string own = ReadWholeFile("/proc/" + std::to_string(pppd) + "/cmdline");
  EXPECT_TRUE(Contains(own, "nodetach"));
  EXPECT_FALSE(Contains(own, "Zq7"));
  const auto lines = AllCommandLines();
  EXPECT_GT(lines.size(), 1u);
  for (const auto& line : lines) EXPECT_FALSE(Contains(line, "Zq7")) << line;

  // The options file was the user's alone, carried the password quoted, and
  // was gone once pppd had read it.
  EXPECT_EQ(Recorded("mode"), std::vector<std::string>{"600"});
  EXPECT_EQ(Recorded("option"), (std::vector<std::string>{"user \"CORP\\\\web\"", "password \"Zq7#\\\"pw\\\\x\""}));
  const auto args = Recorded("arg");
  ASSERT_GE(args.size(), 2u);
  EXPECT_EQ(args[args.size() - 2], "file");
  EXPECT_FALSE(FileExists(args.back()));
  EXPECT_FALSE(Contains(Trace(), "Zq7"));
}

}  // namespace
}  // namespace fonexa::testing
