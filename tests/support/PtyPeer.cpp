#include "PtyPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace fonexa::testing {

PtyPeer::PtyPeer() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) throw std::runtime_error("no pty");
  char name[128];
  if (ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("no pty name");
  slavePath_ = name;
}

PtyPeer::~PtyPeer() { Hangup(); }

void PtyPeer::Write(const std::string& bytes) {
  size_t done = 0;
  while (master_ >= 0 && done < bytes.size()) {
    const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

std::string PtyPeer::ReadAvailable(uint32_t timeoutMs) {
  std::string out;
  char buffer[4096];
  while (master_ >= 0) {
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(timeoutMs)) <= 0 || !(p.revents & POLLIN)) break;
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) break;
    out.append(buffer, static_cast<size_t>(n));
  }
  return out;
}

std::string PtyPeer::ReadUntil(const std::string& terminator, uint32_t timeoutMs) {
  std::string out;
  char c;
  while (master_ >= 0) {
    if (out.size() >= terminator.size() && out.compare(out.size() - terminator.size(), terminator.size(), terminator) == 0)
      break;
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(timeoutMs)) <= 0 || !(p.revents & POLLIN)) break;
    if (read(master_, &c, 1) != 1) break;
    out.push_back(c);
  }
  return out;
}

void PtyPeer::Hangup() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

}  // namespace fonexa::testing
