// A file written with one unbuffered write per call, for the debug logs.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

namespace fonexa::platform {

class LogFile {
 public:
  LogFile() = default;
  ~LogFile() { Close(); }
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // Creates the file anew (an existing one is truncated).
  bool Create(const std::string& path);
  bool IsOpen() const { return fd_.load(std::memory_order_relaxed) >= 0; }
  bool Write(const char* data, size_t length);
  bool Close();

 private:
  std::atomic<int> fd_{-1};
};

}  // namespace fonexa::platform
