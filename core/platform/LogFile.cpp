#include "platform/LogFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace fonexa::platform {

bool LogFile::Create(const std::string& path) {
  if (IsOpen()) return false;
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  int expected = -1;
  if (!fd_.compare_exchange_strong(expected, fd)) {
    close(fd);  // another thread opened it first
    return false;
  }
  return true;
}

bool LogFile::Write(const char* data, size_t length) {
  const int fd = fd_.load(std::memory_order_relaxed);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < length) {
    const ssize_t n = write(fd, data + done, length - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

void LogFile::Adopt(int handle) {
  const int old = fd_.exchange(handle);
  if (old >= 0) close(old);
}

bool LogFile::Close() {
  const int fd = fd_.exchange(-1);
  if (fd < 0) return false;
  return close(fd) == 0;
}

}  // namespace fonexa::platform
