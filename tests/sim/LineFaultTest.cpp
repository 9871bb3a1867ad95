// Faults on the line and unsolicited codes on demand, and the pty's life
// between clients.
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <random>

#include "ModemFixture.h"

namespace fonexa::sim::test {
namespace {

using std::chrono::milliseconds;

class LineFaults : public ModemTest {};

TEST_F(LineFaults, ASilentPhoneReadsNothingAndAnswersAgainWhenBack) {
  start();
  const size_t before = modem().transcript().size(Direction::Out);
  modem().setSilent(true);
  client().write("AT\r");
  settle();
  EXPECT_EQ(modem().transcript().size(Direction::Out), before);
  modem().setSilent(false);
  EXPECT_EQ(at("AT"), "\r\nOK\r\n");
}

TEST_F(LineFaults, DelayedAndSplitAnswersArriveWhole) {
  start();
  modem().setResponseDelay(milliseconds(30));
  EXPECT_EQ(at("AT+CGMI"), "\r\nFonexa\r\n\r\nOK\r\n");
  modem().setResponseDelay(milliseconds(0));
  modem().setChunking(1, milliseconds(1));
  const size_t writes = modem().transcript().entries().size();
  EXPECT_EQ(at("AT+CGMI"), "\r\nFonexa\r\n\r\nOK\r\n");
  EXPECT_GE(modem().transcript().entries().size() - writes, 16u) << "one byte per write";
}

TEST_F(LineFaults, GarbageALostLineEndAndAnOverlongLine) {
  start();
  modem().sendGarbage(16);
  ASSERT_TRUE(modem().transcript().waitFor(Direction::Note, "garbage", std::chrono::seconds(5)));
  settle();
  const std::string noise = client().readBytes(16);
  EXPECT_EQ(noise.size(), 16u);
  EXPECT_EQ(noise.find_first_of("\r\n"), std::string::npos);
  modem().dropNextLineEnd();
  client().write("AT\r");
  EXPECT_EQ(client().readUntil("OK"), "\r\nOK");
  EXPECT_EQ(at("AT"), "\r\nOK\r\n") << "only the one answer lost its end";
  modem().sendOverlongLine(5000);
  std::string line = client().readUntil("\r\n");
  line += client().readUntil("\r\n");
  EXPECT_EQ(line.size(), 5004u);
  EXPECT_EQ(line.substr(0, 10), "\r\n+XLONG: ");
}

TEST_F(LineFaults, AHangUpClosesTheLine) {
  start();
  modem().hangUp();
  EXPECT_TRUE(client().waitForHangUp(std::chrono::seconds(5)));
  EXPECT_FALSE(modem().running());
}

TEST_F(LineFaults, ARebootDropsCallsResetsSettingsKeepsMessagesAndAnnouncesItself) {
  start();
  EXPECT_EQ(at("AT+CMEE=2;+CNMI=2,1"), "\r\nOK\r\n");
  modem().injectSms("+4917012345", "survives");
  EXPECT_FALSE(client().readUntil("+CMTI: \"SM\",1\r\n").empty());
  ASSERT_TRUE(modem().ring("0301234"));
  EXPECT_FALSE(client().readUntil("RING\r\n").empty());
  modem().reboot();
  EXPECT_EQ(client().readUntil("^SYSSTART\r\n"), "\r\n^SYSSTART\r\n");
  EXPECT_EQ(at("AT+CLCC;+CMEE?"), "AT+CLCC;+CMEE?\r\r\n+CMEE: 0\r\n\r\nOK\r\n");
  EXPECT_EQ(at("ATE0;+CPMS?"), "ATE0;+CPMS?\r\r\n+CPMS: \"SM\",1,20,\"SM\",1,20,\"SM\",1,20\r\n\r\nOK\r\n");
}

TEST_F(LineFaults, ALineSpeedSpreadsTheAnswerOverTime) {
  start();
  modem().setLineSpeed(20);
  const size_t writes = modem().transcript().entries().size();
  EXPECT_EQ(client().command("AT", std::chrono::seconds(10)), "\r\nOK\r\n");
  EXPECT_GE(modem().transcript().entries().size() - writes, 4u) << "bytes leave a few at a time";
  modem().setLineSpeed(0);
  EXPECT_EQ(at("AT"), "\r\nOK\r\n");
}

TEST_F(LineFaults, UnsolicitedCodesOnDemand) {
  start();
  for (const std::string code : {"RING", "+CRING: VOICE", "+CLIP: \"+4917011111\",145", "+CMTI: \"SM\",3",
                                 "+CDSI: \"SM\",2", "^SYSSTART", "^SYSSTART ALARM MODE\r\n+CALA: Wake up",
                                 "+CALA: Meeting", "NO CARRIER", "+CREG: 1", "+CMT: ,23\r\n0011000A9194511132540000000BC8329BFD06DDDF723619"}) {
    modem().sendUnsolicited(code);
    EXPECT_EQ(client().readUntil(code + "\r\n"), "\r\n" + code + "\r\n");
  }
}

// Noise of every kind from the terminal (random bytes mixed with pieces of
// commands, prompts, Ctrl-Z and ESC) leaves a phone that still answers.
TEST_F(LineFaults, NoiseFromTheTerminalNeverStopsThePhone) {
  start();
  modem().update([](ModemContext& ctx) {
    ctx.calls.rules.setTiming(milliseconds(0), milliseconds(0));
    ctx.networkScanTime = milliseconds(0);
  });
  const std::vector<std::string> pieces = {"AT",     "AT+CMGS=", "AT+CMGW=", "AT+CPBW=1,\"", "ATD",   ";",  "\r",
                                           "\n",    "\x1a",    "\x1b",    "\"",           ",",     "=?", "?",
                                           "+CNMI=", "07",       "A/",       "AT+COPS=?",     "\b",   "1",  "AT+CMGL"};
  std::mt19937 generator(11);
  std::string noise;
  while (noise.size() < 30000) {
    if (generator() % 2) {
      noise += static_cast<char>(generator() & 0xFF);
    } else {
      noise += pieces[generator() % pieces.size()];
    }
  }
  client().write(noise);
  client().write("\x1b\rAT&F;E0;+CGMI\r");
  EXPECT_FALSE(client().readUntil("Fonexa\r\n\r\nOK\r\n", std::chrono::seconds(20)).empty());
  EXPECT_EQ(at("AT"), "\r\nOK\r\n");
  EXPECT_GT(modem().transcript().size(Direction::In), noise.size()) << "all of it was read";
}

// Clients that close and reopen the port at once each get their own
// answers: what one client left unread is dropped before the next reads.
TEST_F(LineFaults, ClientsThatComeAndGoGetTheirOwnAnswers) {
  start();
  client().write("AT+CGMI\r");  // and never reads the answer
  client_.reset();
  ASSERT_TRUE(modem().transcript().waitFor(Direction::Note, "client closed", std::chrono::seconds(5)));
  settle();
  for (int i = 0; i < 30; ++i) {
    PtyClient next(modem().devicePath());
    ASSERT_TRUE(next.isOpen());
    ASSERT_EQ(next.command("AT"), "\r\nOK\r\n") << "client " << i;
  }
}

// A client that opens the port exclusively (TIOCEXCL) and leaves must not
// lock the next one out, as the kernel would on a pty left to itself.
TEST_F(LineFaults, AnExclusiveClientDoesNotLockOutTheNextOne) {
  start();
  client_.reset();
  const std::string device = modem().devicePath();
  const bool root = ::geteuid() == 0;
  if (root) ::chmod(device.c_str(), 0666);
  auto openAsUser = [&](bool exclusive) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      // As root the exclusive flag would not stop anyone; try as nobody.
      if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
      const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
      if (fd < 0) ::_exit(1);
      if (exclusive && ::ioctl(fd, TIOCEXCL) != 0) ::_exit(2);
      ::close(fd);
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  ASSERT_EQ(openAsUser(true), 0);
  ASSERT_TRUE(modem().transcript().waitFor(Direction::Note, "client closed", std::chrono::seconds(5)));
  settle();
  EXPECT_EQ(openAsUser(false), 0);
}

}  // namespace
}  // namespace fonexa::sim::test
