#include "platform/CodePrompt.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/CodePromptModule.h"
#include "platform/SharedLibrary.h"

namespace fonexa::platform {

namespace {

// ---- Is there a display? ---------------------------------------------------
// Qt ends the whole process when it cannot reach the display it was pointed
// at, so a stale DISPLAY (an ssh session whose forwarding is gone) must not
// count: the server has to answer a connection first.

bool ConnectsToUnixSocket(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const size_t offset = abstract ? 1 : 0;
  if (path.empty() || offset + path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
  close(fd);
  return connected;
}

// Only for hosts that need no name lookup, which could hang.
bool ConnectsToTcp(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV | (host == "localhost" ? 0 : AI_NUMERICHOST);
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool connected = false;
  for (const addrinfo* a = found; a && !connected; a = a->ai_next) {
    const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    connected = connect(fd, a->ai_addr, a->ai_addrlen) == 0;
    close(fd);
  }
  freeaddrinfo(found);
  return connected;
}

bool IsNumericHost(const std::string& host) {
  addrinfo hints{};
  hints.ai_flags = AI_NUMERICHOST;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return false;
  freeaddrinfo(found);
  return true;
}

// DISPLAY is "[protocol/][host]:number[.screen]".
bool XServerAnswers(std::string display) {
  if (display.empty()) return false;
  if (display.front() == '/') return true;  // a socket path of its own (launchd style): trusted
  if (const auto slash = display.find('/'); slash != std::string::npos) display.erase(0, slash + 1);
  const auto colon = display.rfind(':');
  if (colon == std::string::npos) return false;
  const std::string host = display.substr(0, colon);
  const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
  if (number.empty() || number.size() > 5 || number.find_first_not_of("0123456789") != std::string::npos) return false;
  const int n = std::atoi(number.c_str());
  if (host.empty() || host == "unix") {
    const std::string socketPath = "/tmp/.X11-unix/X" + number;
    return ConnectsToUnixSocket(socketPath, true) || ConnectsToUnixSocket(socketPath, false);
  }
  if (host == "localhost" || IsNumericHost(host)) return ConnectsToTcp(host, 6000 + n);
  return true;  // a named remote host: looking it up could block, so it is trusted
}

bool WaylandCompositorAnswers(const std::string& name) {
  if (name.empty()) return false;
  if (name.front() == '/') return ConnectsToUnixSocket(name, false);
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime && *runtime && ConnectsToUnixSocket(std::string(runtime) + "/" + name, false);
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// ---- The keypad module -------------------------------------------------------

// Loaded at the first prompt and kept: a GUI toolkit that has run cannot be
// unloaded cleanly, and a module that is missing stays missing.
FonexaKeypadPromptFunc KeypadPromptFunction() {
  static std::mutex mutex;
  static bool tried = false;
  static FonexaKeypadPromptFunc prompt = nullptr;
  std::lock_guard<std::mutex> lock(mutex);
  if (!tried) {
    tried = true;
    if (SharedLibrary::Handle module = SharedLibrary::Load(kKeypadModuleName)) {
      prompt = reinterpret_cast<FonexaKeypadPromptFunc>(SharedLibrary::Symbol(module, kKeypadPromptSymbol));
      if (!prompt) SharedLibrary::Unload(module);
    }
  }
  return prompt;
}

void KeepCode(void* context, const char* code) { *static_cast<std::string*>(context) = code ? code : ""; }

// ---- The terminal prompt -------------------------------------------------------
// Echo stays off only while the prompt reads. A signal that would end or stop
// the program (Ctrl-C, Ctrl-\, a hang-up, a kill) is caught just long enough to
// put the terminal back, and then raised again with the program's own
// disposition, so Ctrl-C interrupts as it does at any password prompt; a
// program that handles or ignores the signal gets a cancelled prompt.

constexpr int kInterrupts[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};
// Longer lines are read to their end but not kept: no code is this long.
constexpr size_t kMaxCodeLength = 256;

std::mutex terminalMutex;  // one terminal prompt at a time: the handlers are process-wide
std::atomic<int> caughtSignal{0};
int wakeFd = -1;           // write end of a pipe the handler wakes the reader with

void OnInterrupt(int signal) {
  const int savedErrno = errno;
  int none = 0;
  caughtSignal.compare_exchange_strong(none, signal);
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = write(wakeFd, &byte, 1);
  errno = savedErrno;
}

class EchoOffTerminal {
 public:
  explicit EchoOffTerminal(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0 || !isatty(fd_) || tcgetattr(fd_, &saved_) != 0) return;
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) return;
    caughtSignal = 0;
    wakeFd = wake_[1];
    for (size_t i = 0; i < std::size(kInterrupts); ++i) {
      struct sigaction action{};
      action.sa_handler = OnInterrupt;
      sigemptyset(&action.sa_mask);
      sigaction(kInterrupts[i], nullptr, &previous_[i]);
      // A signal the program ignores stays ignored.
      if (previous_[i].sa_handler != SIG_IGN) sigaction(kInterrupts[i], &action, nullptr);
    }
    handlersInstalled_ = true;
    termios quiet = saved_;
    quiet.c_lflag &= static_cast<tcflag_t>(~(ECHO | ECHONL));
    quiet.c_lflag |= ICANON | ISIG;
    ready_ = tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
  }

  ~EchoOffTerminal() {
    if (ready_) {
      Write("\n");  // the Enter the user typed was not echoed
      tcsetattr(fd_, TCSAFLUSH, &saved_);
    }
    if (handlersInstalled_) {
      for (size_t i = 0; i < std::size(kInterrupts); ++i) sigaction(kInterrupts[i], &previous_[i], nullptr);
      wakeFd = -1;
    }
    for (int fd : wake_)
      if (fd >= 0) close(fd);
    if (fd_ >= 0) close(fd_);
  }

  EchoOffTerminal(const EchoOffTerminal&) = delete;
  EchoOffTerminal& operator=(const EchoOffTerminal&) = delete;

  bool Ready() const { return ready_; }

  void Write(const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = write(fd_, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;
      done += static_cast<size_t>(n);
    }
  }

  // One line without its line feed; false on end of input (Ctrl-D), a
  // hang-up or an interrupt.
  bool ReadLine(std::string& line) {
    char buffer[256];
    for (;;) {
      pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      if (caughtSignal != 0) return false;
      if (fds[0].revents == 0) continue;
      const ssize_t n = read(fd_, buffer, sizeof buffer);
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (n <= 0) return false;
      for (ssize_t i = 0; i < n; ++i) {
        if (buffer[i] == '\n') {
          explicit_bzero(buffer, sizeof buffer);
          return true;
        }
        if (line.size() < kMaxCodeLength) line += buffer[i];
      }
      explicit_bzero(buffer, sizeof buffer);
    }
  }

 private:
  int fd_ = -1;
  int wake_[2] = {-1, -1};
  termios saved_{};
  struct sigaction previous_[std::size(kInterrupts)]{};
  bool handlersInstalled_ = false;
  bool ready_ = false;
};

}  // namespace

CodePrompt::CodePrompt() : CodePrompt({Backend::KeypadDialog, Backend::Terminal}) {}

CodePrompt::CodePrompt(std::vector<Backend> backends, std::string terminalPath)
    : backends_(std::move(backends)), terminalPath_(std::move(terminalPath)) {}

bool CodePrompt::DisplayAvailable() {
  if (!Environment("QT_QPA_PLATFORM").empty()) return true;
  return XServerAnswers(Environment("DISPLAY")) || WaylandCompositorAnswers(Environment("WAYLAND_DISPLAY"));
}

std::string CodePrompt::PromptForCode(const std::string& caption, const std::string& message) const {
  for (const Backend backend : backends_) {
    std::string code;
    const Outcome outcome = backend == Backend::KeypadDialog ? AskWithKeypad(caption, message, code)
                                                             : AskOnTerminal(caption, message, code);
    if (outcome == Outcome::Entered) return code;
    if (outcome == Outcome::Cancelled) return "";
  }
  return "";
}

CodePrompt::Outcome CodePrompt::AskWithKeypad(const std::string& caption, const std::string& message,
                                              std::string& code) const {
  if (!DisplayAvailable()) return Outcome::Unavailable;
  const FonexaKeypadPromptFunc prompt = KeypadPromptFunction();
  if (!prompt) return Outcome::Unavailable;
  switch (prompt(caption.c_str(), message.c_str(), KeepCode, &code)) {
    case kKeypadEntered:
      return code.empty() ? Outcome::Cancelled : Outcome::Entered;
    case kKeypadCancelled:
      return Outcome::Cancelled;
    default:
      return Outcome::Unavailable;
  }
}

CodePrompt::Outcome CodePrompt::AskOnTerminal(const std::string& caption, const std::string& message,
                                              std::string& code) const {
  std::lock_guard<std::mutex> lock(terminalMutex);
  bool entered = false;
  {
    EchoOffTerminal terminal(terminalPath_);
    if (!terminal.Ready()) return Outcome::Unavailable;
    // The message first, the caption as the question the cursor waits at.
    terminal.Write((message.empty() ? "" : message + "\n") + caption + ": ");
    entered = terminal.ReadLine(code);
  }
  // The terminal is itself again; now the interrupt may take its course.
  if (const int signal = caughtSignal.exchange(0); signal != 0) raise(signal);
  if (!entered) {
    explicit_bzero(code.data(), code.size());
    code.clear();
    return Outcome::Cancelled;
  }
  return code.empty() ? Outcome::Cancelled : Outcome::Entered;
}

std::string PromptForCode(const std::string& caption, const std::string& message) {
  return CodePrompt().PromptForCode(caption, message);
}

}  // namespace fonexa::platform
