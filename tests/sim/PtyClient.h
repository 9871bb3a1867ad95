#pragma once
// A terminal on the modem's pty, the way a serial client opens it: no
// controlling tty, raw 8N1, reads with a deadline.
#include <chrono>
#include <string>
#include <string_view>

namespace fonexa::sim::test {

class PtyClient {
 public:
  explicit PtyClient(const std::string& device);
  ~PtyClient();
  PtyClient(const PtyClient&) = delete;
  PtyClient& operator=(const PtyClient&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  void write(std::string_view bytes);
  // Everything read up to and including `needle`; what follows stays buffered.
  // Empty when the deadline passes first.
  std::string readUntil(std::string_view needle, std::chrono::milliseconds timeout = std::chrono::seconds(5));
  // Exactly `count` bytes, or fewer when the deadline passes.
  std::string readBytes(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
  // Sends `line` and a CR; returns the answer through its final result code
  // (OK, ERROR, +CME/+CMS ERROR, NO CARRIER, BUSY, NO DIALTONE, NO ANSWER, or the "> " prompt).
  std::string command(const std::string& line, std::chrono::milliseconds timeout = std::chrono::seconds(5));
  // The answer to text sent at a prompt, ended by Ctrl-Z.
  std::string sendPromptText(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(5));
  // Reads until end of file or an error; true when the line went away.
  bool waitForHangUp(std::chrono::milliseconds timeout);
  const std::string& buffered() const { return buffer_; }

 private:
  bool fill(std::chrono::steady_clock::time_point deadline);
  std::string readFinal(std::chrono::milliseconds timeout);

  int fd_ = -1;
  std::string buffer_;
};

// The final result code at the end of `text`, or empty.
std::string finalResultOf(const std::string& text);

}  // namespace fonexa::sim::test
