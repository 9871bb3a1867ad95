// The SDK's example programs, each run as a process of its own against the
// virtual modem in this one.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "SdkFixture.h"

using namespace std::chrono_literals;
using fonexa::sdktest::VirtualPhoneTest;

namespace {

// One example program with its standard output read through a pipe.
class ExampleRun {
 public:
  explicit ExampleRun(std::vector<std::string> args) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    output_fd_ = out[0];
  }
  ~ExampleRun() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (output_fd_ >= 0) close(output_fd_);
  }

  // Reads until the output holds text or the time is up.
  bool WaitForOutput(const std::string& text, std::chrono::milliseconds limit = 30s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (output_.find(text) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (left.count() <= 0 || ended_) return false;
      ReadSome(static_cast<int>(left.count()));
    }
    return true;
  }
  void Signal(int number) { kill(pid_, number); }
  // The exit status once the program has ended, its output read to the end.
  int Finish(std::chrono::milliseconds limit = 60s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!ended_ && std::chrono::steady_clock::now() < end) ReadSome(100);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) != pid_) {
      if (std::chrono::steady_clock::now() >= end) return -1;
      std::this_thread::sleep_for(20ms);
    }
    exited_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  const std::string& Output() const { return output_; }

 private:
  // False at the end of the output or when nothing came within timeoutMs.
  bool ReadSome(int timeoutMs) {
    pollfd p{output_fd_, POLLIN, 0};
    if (ended_ || poll(&p, 1, timeoutMs) <= 0) return false;
    char buffer[512];
    const ssize_t n = read(output_fd_, buffer, sizeof buffer);
    ended_ = n <= 0;
    if (ended_) return false;
    output_.append(buffer, static_cast<size_t>(n));
    return true;
  }

  pid_t pid_ = -1;
  int output_fd_ = -1;
  bool exited_ = false;
  bool ended_ = false;  // the program closed its output
  std::string output_;
};

using SdkExamples = VirtualPhoneTest;

TEST_F(SdkExamples, SendLongSmsSendsEveryPart) {
  StartModem();
  ExampleRun run({SDK_SEND_LONG_SMS, modem->devicePath(), "+420606111222"});
  ASSERT_EQ(run.Finish(), 0) << run.Output();
  EXPECT_NE(run.Output().find("sent\n"), std::string::npos) << run.Output();
  const auto sent = modem->sentMessages();
  ASSERT_GT(sent.size(), 1u);
  EXPECT_EQ(sent[0].destination, "+420606111222");
  EXPECT_GE(SentText().size(), 300u);
  EXPECT_EQ(SentText().substr(0, 24), "Part of a long message, ");
}

TEST_F(SdkExamples, PrintInboxShowsEveryMessage) {
  StartModem();
  modem->injectSms("+420606111222", "Hello there");
  modem->injectSms("+420777000111", "Second#one");
  ExampleRun run({SDK_PRINT_INBOX, modem->devicePath()});
  ASSERT_EQ(run.Finish(), 0) << run.Output();
  EXPECT_NE(run.Output().find("2 message(s)"), std::string::npos) << run.Output();
  EXPECT_NE(run.Output().find("unread from +420606111222 at 20"), std::string::npos);  // with its time stamp
  EXPECT_NE(run.Output().find("  Hello there\n"), std::string::npos);
  EXPECT_NE(run.Output().find("  Second#one\n"), std::string::npos);
}

TEST_F(SdkExamples, DumpPhoneBookListsTheEntries) {
  StartModem();
  StoreEntry("SM", 1, "+420606111222", "Alice");
  StoreEntry("SM", 12, "606111333", "Bob");
  ExampleRun run({SDK_DUMP_PHONE_BOOK, modem->devicePath()});
  ASSERT_EQ(run.Finish(), 0) << run.Output();
  EXPECT_NE(run.Output().find("storage SM: 2 of"), std::string::npos) << run.Output();
  EXPECT_NE(run.Output().find("  1  +420606111222        Alice"), std::string::npos) << run.Output();
  EXPECT_NE(run.Output().find(" 12  606111333            Bob"), std::string::npos);
}

TEST_F(SdkExamples, PlaceCallPrintsTheCallFromStartToEnd) {
  StartModem();
  modem->setDialOutcome(fonexa::sim::DialOutcome::Connect, "*");
  ExampleRun run({SDK_PLACE_CALL, modem->devicePath(), "+420606111222", "1"});
  ASSERT_EQ(run.Finish(), 0) << run.Output();
  const std::string& out = run.Output();
  const size_t connected = out.find("dial ended: connected (+420606111222)");
  const size_t appeared = out.find("call event: call appeared, number +420606111222");
  const size_t ended = out.find("call event: call ended, number +420606111222");
  ASSERT_NE(connected, std::string::npos) << out;
  ASSERT_NE(appeared, std::string::npos) << out;
  ASSERT_NE(ended, std::string::npos) << out;
  EXPECT_LT(appeared, ended);
}

TEST_F(SdkExamples, PlaceCallReportsABusyLine) {
  StartModem();
  modem->setDialOutcome(fonexa::sim::DialOutcome::Busy, "*");
  ExampleRun run({SDK_PLACE_CALL, modem->devicePath(), "+420606111222"});
  EXPECT_EQ(run.Finish(), 1);
  EXPECT_NE(run.Output().find("dial ended: busy"), std::string::npos) << run.Output();
}

TEST_F(SdkExamples, WatchEventsPrintsUntilInterrupted) {
  StartModem();
  ExampleRun run({SDK_WATCH_EVENTS, modem->devicePath()});
  ASSERT_TRUE(run.WaitForOutput("watching")) << run.Output();
  EXPECT_NE(run.Output().find("module state: value 1"), std::string::npos);
  modem->injectSms("+420606111222", "Are you there?");
  ASSERT_TRUE(run.WaitForOutput("message: from +420606111222: Are you there?")) << run.Output();
  run.Signal(SIGINT);
  EXPECT_EQ(run.Finish(), 0);
  // Uninitialize tells the module-state handler the state is gone (events
  // raised while the engine winds down may come between).
  const size_t stopping = run.Output().find("stopping\n");
  ASSERT_NE(stopping, std::string::npos) << run.Output();
  EXPECT_NE(run.Output().find("module state: value 0\n", stopping), std::string::npos) << run.Output();
}

}  // namespace
