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
  // Gives up the open file without closing it (-1 when closed), and takes such
  // a file back; the diagnostics run sets the traffic log aside this way.
  int Release() { return fd_.exchange(-1); }
  void Adopt(int handle);

 private:
  std::atomic<int> fd_{-1};
};

}  // namespace fonexa::platform
