#include "platform/RemoteAccessLink.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "platform/MessageWindow.h"
#include "platform/Tick.h"

namespace fonexa::platform {

namespace {

// How long the watcher waits for log lines before it looks whether pppd is
// still there.
constexpr int kWatchIntervalMs = 100;

// A counter file of the kernel: one decimal number and a line end.
uint64_t ReadCounter(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char text[32];
  const ssize_t n = read(fd, text, sizeof text);
  close(fd);
  if (n <= 0) return 0;
  uint64_t value = 0;
  std::from_chars(text, text + n, value);
  return value;
}

}  // namespace

RemoteAccessLink::~RemoteAccessLink() {
  std::lock_guard<std::mutex> lock(mutex_);
  RemoveOptionsFile();
}

void RemoteAccessLink::RemoveOptionsFile() {
  if (optionsFile_.empty()) return;
  unlink(optionsFile_.c_str());
  optionsFile_.clear();
}

bool RemoteAccessLink::Start(const std::string& program, const std::vector<std::string>& args,
                             const std::string& optionsFile) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    optionsFile_ = optionsFile;
  }
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    std::lock_guard<std::mutex> lock(mutex_);
    RemoveOptionsFile();
    return false;
  }
  // The write end must not already sit on a number the child gets mapped, or
  // the mapping would leave it closing on exec.
  if (fds[1] <= kLogDescriptor) {
    const int moved = fcntl(fds[1], F_DUPFD_CLOEXEC, kLogDescriptor + 1);
    close(fds[1]);
    fds[1] = moved;
  }
  const bool started =
      fds[1] >= 0 && pppd_.Start(program, args, {{fds[1], 2}, {fds[1], kLogDescriptor}}, /*ownGroup=*/true);
  if (fds[1] >= 0) close(fds[1]);
  if (!started) {
    close(fds[0]);
    std::lock_guard<std::mutex> lock(mutex_);
    RemoveOptionsFile();
    return false;
  }
  logFd_ = fds[0];
  fcntl(logFd_, F_SETFL, fcntl(logFd_, F_GETFL) | O_NONBLOCK);
  watcher_.Start([self = shared_from_this()] { self->Watch(); });
  return true;
}

void RemoteAccessLink::Watch() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    watcherId_ = std::this_thread::get_id();
  }
  Deliver(ConnectionState::OpenPort, 0);
  bool endOfLog = false;
  while (!pppd_.HasEnded()) {
    // After the end of the log (pppd closed it, or a program it started holds
    // it no longer) only the process is watched.
    pollfd p{endOfLog ? -1 : logFd_, POLLIN, 0};
    if (poll(&p, 1, kWatchIntervalMs) > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR))) {
      char chunk[512];
      const ssize_t n = read(logFd_, chunk, sizeof chunk);
      if (n > 0) {
        TakeLog(chunk, static_cast<size_t>(n));
      } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        endOfLog = true;
      }
    }
  }
  // What pppd wrote before it ended is still in the pipe.
  for (char chunk[512];;) {
    const ssize_t n = endOfLog ? 0 : read(logFd_, chunk, sizeof chunk);
    if (n <= 0) break;
    TakeLog(chunk, static_cast<size_t>(n));
  }
  if (!partialLine_.empty() && !skippingLongLine_) HandleLine(partialLine_);
  close(logFd_);
  logFd_ = -1;

  uint32_t error;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const int status = pppd_.ExitStatus();
    endError_ = status > 0 ? static_cast<uint32_t>(status) : (status == 0 ? 0 : kNoExitCode);
    error = endError_;
    ended_ = true;
    RemoveOptionsFile();
  }
  changed_.notify_all();
  Deliver(ConnectionState::Disconnected, error);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    watcherDone_ = true;
  }
  changed_.notify_all();
}

void RemoteAccessLink::TakeLog(const char* data, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      if (!skippingLongLine_) HandleLine(partialLine_);
      partialLine_.clear();
      skippingLongLine_ = false;
    } else if (!skippingLongLine_) {
      partialLine_ += data[i];
      if (partialLine_.size() > kMaxLogLine) skippingLongLine_ = true;
    }
  }
}

void RemoteAccessLink::HandleLine(std::string_view line) {
  const PppLogNotice notice = ReadPppLogLine(line);
  ConnectionState target = ConnectionState::OpenPort;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // pppd has read its options before it writes its first line.
    RemoveOptionsFile();
    switch (notice.kind) {
      case PppLogNotice::Kind::Reached:
        target = notice.state;
        break;
      case PppLogNotice::Kind::Interface:
        interface_ = notice.text;
        break;
      case PppLogNotice::Kind::Speed:
        // The options are listed before the connect script runs; a number
        // later in the log is something else.
        if (DialStep(state_) < DialStep(ConnectionState::DeviceConnected)) speed_ = notice.speed;
        break;
      case PppLogNotice::Kind::AuthenticationFailed:
      case PppLogNotice::Kind::Nothing:
        break;
    }
  }
  if (DialStep(target) > 0) Advance(target);
}

void RemoteAccessLink::Advance(ConnectionState target) {
  for (;;) {
    ConnectionState next;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      const int step = DialStep(state_);
      if (step >= DialStep(target)) return;
      next = kDialStates[step + 1];
      state_ = next;
      if (next == ConnectionState::Connected) connectedTick_ = TickCount();
    }
    changed_.notify_all();
    Deliver(next, 0);
  }
}

void RemoteAccessLink::Deliver(ConnectionState state, uint32_t error) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (hungUp_ || !notifier_) return;
  }
  SendWindowMessage(notifier_, kDialEventMessage, static_cast<uintptr_t>(state), static_cast<intptr_t>(error));
}

bool RemoteAccessLink::WaitUntilConnectedOrEnded(uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                    [&] { return ended_ || state_ == ConnectionState::Connected; });
  return !ended_ && state_ == ConnectionState::Connected;
}

ConnectionState RemoteAccessLink::State() {
  std::lock_guard<std::mutex> lock(mutex_);
  return ended_ || pppd_.HasEnded() ? ConnectionState::Disconnected : state_;
}

uint32_t RemoteAccessLink::EndError() {
  std::lock_guard<std::mutex> lock(mutex_);
  return endError_;
}

void RemoteAccessLink::HangUp() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    hungUp_ = true;
  }
  pppd_.Signal(SIGTERM);
}

void RemoteAccessLink::EndForcibly() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    hungUp_ = true;
  }
  pppd_.SignalGroup(SIGKILL);
  pppd_.Signal(SIGKILL);
}

bool RemoteAccessLink::IsReleased() {
  std::lock_guard<std::mutex> lock(mutex_);
  return hungUp_ && pppd_.HasEnded() && (watcherDone_ || watcherId_ == std::this_thread::get_id());
}

RemoteAccessLink::Figures RemoteAccessLink::GetFigures(const std::string& interfaceFolder) {
  Figures figures;
  std::string interface;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_ || state_ != ConnectionState::Connected) return figures;
    figures.speed = speed_;
    figures.seconds = (TickCount() - connectedTick_) / 1000u;
    interface = interface_;
  }
  if (pppd_.HasEnded()) return Figures{};
  if (!interface.empty()) {
    const std::string statistics = interfaceFolder + "/" + interface + "/statistics/";
    figures.sentBytes = ReadCounter(statistics + "tx_bytes");
    figures.receivedBytes = ReadCounter(statistics + "rx_bytes");
  }
  return figures;
}

}  // namespace fonexa::platform
