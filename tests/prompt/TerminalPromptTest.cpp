// The terminal prompt, run in a child process whose controlling terminal is a
// pseudo-terminal that the test plays the user on.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "PtyPeer.h"
#include "ScopedEnvironment.h"
#include "platform/CodePrompt.h"

using fonexa::platform::CodePrompt;
using fonexa::testing::PtyPeer;
using fonexa::testing::ScopedEnvironment;

namespace {

constexpr uint32_t kWaitMs = 5000;

volatile sig_atomic_t interruptsHandled = 0;
void CountInterrupt(int) { interruptsHandled = interruptsHandled + 1; }

// A child process running body, its answer (what body returns) sent back
// through a pipe.
class Child {
 public:
  explicit Child(const std::function<std::string()>& body) {
    int answer[2];
    if (pipe(answer) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(answer[0]);
      const std::string text = body();
      [[maybe_unused]] const ssize_t n = write(answer[1], text.data(), text.size());
      _exit(0);
    }
    close(answer[1]);
    answer_ = answer[0];
  }
  ~Child() {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (answer_ >= 0) close(answer_);
  }

  pid_t Pid() const { return pid_; }

  // Waits until the child has ended, and returns its wait status (-1 on time-out).
  int Wait(uint32_t timeoutMs) {
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
    if (pidfd < 0) return -1;
    pollfd p{pidfd, POLLIN, 0};
    const bool ended = poll(&p, 1, static_cast<int>(timeoutMs)) == 1;
    close(pidfd);
    int status = 0;
    if (!ended || waitpid(pid_, &status, 0) != pid_) return -1;
    reaped_ = true;
    return status;
  }

  // Everything the child answered (after it has ended).
  std::string Answer() {
    std::string text;
    char buffer[256];
    ssize_t n;
    while ((n = read(answer_, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
    return text;
  }

 private:
  pid_t pid_ = -1;
  int answer_ = -1;
  bool reaped_ = false;
};

enum class Interrupts { Default, Handled, Ignored };

// In the child: a session of its own with the pty as its controlling
// terminal, the interrupt disposition of the program under test, and one
// prompt on /dev/tty. Answers "<code>|<interrupts handled>".
std::string PromptOnControllingTerminal(const std::string& terminal, Interrupts interrupts) {
  setsid();
  const int fd = open(terminal.c_str(), O_RDWR);
  if (fd < 0 || ioctl(fd, TIOCSCTTY, 0) != 0) return "no controlling terminal";
  close(fd);
  if (interrupts == Interrupts::Handled) signal(SIGINT, CountInterrupt);
  if (interrupts == Interrupts::Ignored) signal(SIGINT, SIG_IGN);
  const std::string code = CodePrompt({CodePrompt::Backend::Terminal})
                               .PromptForCode("Enter PIN code", "3 attempt(s) left for entering PIN code.");
  return code + "|" + std::to_string(interruptsHandled);
}

class TerminalPrompt : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.IsOpen());
    // The test's own view of the terminal: it keeps the terminal's settings
    // alive after the child has gone, so they can be read.
    observer_ = open(pty_.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(observer_, 0);
    ASSERT_EQ(tcgetattr(observer_, &before_), 0);
    ASSERT_TRUE(before_.c_lflag & ECHO);
  }
  void TearDown() override { close(observer_); }

  tcflag_t LocalModes() const {
    termios now{};
    tcgetattr(observer_, &now);
    return now.c_lflag;
  }
  bool Echo() const { return LocalModes() & ECHO; }

  // Starts the prompt and waits until it is shown.
  std::unique_ptr<Child> StartPrompt(Interrupts interrupts) {
    const std::string terminal = pty_.SlavePath();
    auto child = std::make_unique<Child>([terminal, interrupts] { return PromptOnControllingTerminal(terminal, interrupts); });
    shown_ = pty_.ReadUntil("Enter PIN code: ", kWaitMs);
    return child;
  }

  PtyPeer pty_;
  int observer_ = -1;
  termios before_{};
  std::string shown_;
};

// ---- entering a code ----

TEST_F(TerminalPrompt, ShowsMessageAndCaptionAndReadsTheCodeWithoutEcho) {
  auto child = StartPrompt(Interrupts::Default);
  EXPECT_EQ(shown_, "3 attempt(s) left for entering PIN code.\r\nEnter PIN code: ");
  EXPECT_FALSE(Echo());
  pty_.Write("47");
  EXPECT_FALSE(Echo());
  pty_.Write("11\r");
  const int status = child->Wait(kWaitMs);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(child->Answer(), "4711|0");
  // Only the line end the prompt writes itself: the digits never came back.
  EXPECT_EQ(pty_.ReadAvailable(100), "\r\n");
  EXPECT_EQ(LocalModes(), before_.c_lflag);
}

TEST_F(TerminalPrompt, LineEditingWorksWhileEchoIsOff) {
  auto child = StartPrompt(Interrupts::Default);
  pty_.Write("12x\x7f" "3\r");  // a wrong key taken back with Backspace
  ASSERT_TRUE(WIFEXITED(child->Wait(kWaitMs)));
  EXPECT_EQ(child->Answer(), "123|0");
  EXPECT_EQ(LocalModes(), before_.c_lflag);
}

// ---- cancel ----

TEST_F(TerminalPrompt, EndOfInputCancelsAndRestoresEcho) {
  for (const std::string& keys : {std::string("\x04"), std::string("56\x04\x04"), std::string("\r")}) {
    auto child = StartPrompt(Interrupts::Default);
    EXPECT_FALSE(Echo());
    pty_.Write(keys);
    const int status = child->Wait(kWaitMs);
    ASSERT_TRUE(WIFEXITED(status)) << "keys " << keys.size();
    EXPECT_EQ(child->Answer(), "|0") << "keys " << keys.size();
    EXPECT_EQ(LocalModes(), before_.c_lflag);
    pty_.ReadAvailable(50);
  }
}

// ---- interrupts ----

// Ctrl-C from the keyboard, or a kill: the program ends by that signal, with
// its terminal already restored.
TEST_F(TerminalPrompt, SignalsThatEndTheProgramRestoreEchoFirst) {
  const struct {
    const char* how;
    int signal;
  } cases[] = {{"Ctrl-C", SIGINT}, {"kill", SIGTERM}, {"kill", SIGHUP}};
  for (const auto& c : cases) {
    auto child = StartPrompt(Interrupts::Default);
    EXPECT_FALSE(Echo());
    if (std::string(c.how) == "Ctrl-C") {
      pty_.Write("12\x03");
    } else {
      kill(child->Pid(), c.signal);
    }
    const int status = child->Wait(kWaitMs);
    ASSERT_TRUE(WIFSIGNALED(status)) << c.how << " " << status;
    EXPECT_EQ(WTERMSIG(status), c.signal) << c.how;
    EXPECT_EQ(LocalModes(), before_.c_lflag) << c.how;
    pty_.ReadAvailable(50);
  }
}

TEST_F(TerminalPrompt, ProgramThatHandlesCtrlCGetsACancelledPrompt) {
  auto child = StartPrompt(Interrupts::Handled);
  pty_.Write("12\x03");
  const int status = child->Wait(kWaitMs);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(child->Answer(), "|1");
  EXPECT_EQ(LocalModes(), before_.c_lflag);
}

TEST_F(TerminalPrompt, ProgramThatIgnoresCtrlCKeepsPrompting) {
  auto child = StartPrompt(Interrupts::Ignored);
  pty_.Write("\x03");
  pty_.Write("2580\r");
  const int status = child->Wait(kWaitMs);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(child->Answer(), "2580|0");
  EXPECT_EQ(LocalModes(), before_.c_lflag);
}

// ---- nowhere to ask ----

// Without a display and without a controlling terminal there is nobody to
// ask: the prompt cancels at once instead of waiting. A DISPLAY whose server
// is gone counts as none (Qt would end the program on it).
TEST(CodePromptWithoutUser, CancelsAtOnce) {
  for (const char* display : {"", ":987", "unix:987.0"}) {
    Child child([display] {
      setsid();  // a new session has no controlling terminal
      ScopedEnvironment environment;
      environment.RemoveDisplays();
      if (*display) environment.Set("DISPLAY", display);
      const auto start = std::chrono::steady_clock::now();
      const std::string code = fonexa::platform::PromptForCode("Enter PIN code", "");
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
      return code + "|" + (ms.count() < 1000 ? "at once" : "late");
    });
    const int status = child.Wait(kWaitMs);
    ASSERT_TRUE(WIFEXITED(status)) << display << " status " << status;
    EXPECT_EQ(child.Answer(), "|at once") << display;
  }
}

TEST(CodePromptWithoutUser, ATerminalPathThatIsNoTerminalIsSkipped) {
  ScopedEnvironment environment;
  environment.RemoveDisplays();
  const CodePrompt prompt({CodePrompt::Backend::KeypadDialog, CodePrompt::Backend::Terminal}, "/dev/null");
  EXPECT_EQ(prompt.PromptForCode("Enter PIN code", ""), "");
  EXPECT_EQ(CodePrompt({}, "/dev/null").PromptForCode("Enter PIN code", ""), "");
}

}  // namespace
