#include "PtyClient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace fonexa::sim::test {

namespace {

bool isFinalLine(const std::string& line) {
  for (const char* r : {"OK", "ERROR", "NO CARRIER", "BUSY", "NO DIALTONE", "NO ANSWER"}) {
    if (line == r) return true;
  }
  return line.rfind("+CME ERROR: ", 0) == 0 || line.rfind("+CMS ERROR: ", 0) == 0;
}

// End of the first final result code (or "> " prompt) framed by CR LF, or npos.
size_t finalEnd(const std::string& s, std::string* result = nullptr) {
  for (size_t pos = s.find("\r\n"); pos != std::string::npos; pos = s.find("\r\n", pos + 2)) {
    const size_t start = pos + 2;
    if (s.compare(start, 2, "> ") == 0) {
      if (result) *result = "> ";
      return start + 2;
    }
    const size_t eol = s.find("\r\n", start);
    if (eol == std::string::npos) return std::string::npos;
    const std::string line = s.substr(start, eol - start);
    if (isFinalLine(line)) {
      if (result) *result = line;
      return eol + 2;
    }
  }
  return std::string::npos;
}

}  // namespace

std::string finalResultOf(const std::string& text) {
  std::string result;
  finalEnd(text, &result);
  return result;
}

PtyClient::PtyClient(const std::string& device) {
  fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return;
  termios tio{};
  ::tcgetattr(fd_, &tio);
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  ::cfsetspeed(&tio, B9600);
  ::tcsetattr(fd_, TCSANOW, &tio);
}

PtyClient::~PtyClient() {
  if (fd_ >= 0) ::close(fd_);
}

void PtyClient::write(std::string_view bytes) {
  while (!bytes.empty() && fd_ >= 0) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<size_t>(n));
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      return;
    } else {
      pollfd p{fd_, POLLOUT, 0};
      ::poll(&p, 1, 100);
    }
  }
}

bool PtyClient::fill(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  if (left.count() <= 0) return false;
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, static_cast<int>(left.count()) + 1) <= 0) return false;
  char buf[4096];
  const ssize_t n = ::read(fd_, buf, sizeof buf);
  if (n <= 0) return n < 0 && (errno == EAGAIN || errno == EINTR);
  buffer_.append(buf, static_cast<size_t>(n));
  return true;
}

std::string PtyClient::readUntil(std::string_view needle, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const size_t at = buffer_.find(needle);
    if (at != std::string::npos) {
      std::string out = buffer_.substr(0, at + needle.size());
      buffer_.erase(0, at + needle.size());
      return out;
    }
    if (!fill(deadline)) return "";
  }
}

std::string PtyClient::readFinal(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const size_t end = finalEnd(buffer_);
    if (end != std::string::npos) {
      std::string out = buffer_.substr(0, end);
      buffer_.erase(0, end);
      return out;
    }
    if (!fill(deadline)) {
      std::string partial;
      partial.swap(buffer_);
      return partial;
    }
  }
}

std::string PtyClient::readBytes(size_t count, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (buffer_.size() < count && fill(deadline)) {
  }
  std::string out = buffer_.substr(0, std::min(count, buffer_.size()));
  buffer_.erase(0, out.size());
  return out;
}

std::string PtyClient::command(const std::string& line, std::chrono::milliseconds timeout) {
  write(line + "\r");
  return readFinal(timeout);
}

std::string PtyClient::sendPromptText(const std::string& text, std::chrono::milliseconds timeout) {
  write(text + "\x1A");
  return readFinal(timeout);
}

bool PtyClient::waitForHangUp(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    if (p.revents & (POLLHUP | POLLERR)) return true;
    char buf[256];
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return true;
  }
  return false;
}

}  // namespace fonexa::sim::test
