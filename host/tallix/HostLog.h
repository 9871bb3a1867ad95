// The host log "logs/tallix.txt": what the host did at start-up and at exit,
// written as it happens so that a start that hangs or crashes leaves its
// trace. Copies of the host share the file (a second copy's few lines go
// after the first copy's), so it is opened for appending.
#pragma once

#include <cstdio>
#include <string>

class HostLog {
 public:
  HostLog() = default;
  ~HostLog();
  HostLog(const HostLog&) = delete;
  HostLog& operator=(const HostLog&) = delete;

  // Creates the folder when needed. False when the file cannot be opened; the
  // host then runs without a log.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  // Texts are written as given: they carry their own "\r\n".
  void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));

 private:
  std::FILE* file_ = nullptr;
};
