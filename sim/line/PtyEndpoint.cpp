#include "sim/line/PtyEndpoint.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace fonexa::sim {

std::unique_ptr<PtyEndpoint> PtyEndpoint::create(std::string& error) {
  std::unique_ptr<PtyEndpoint> pty(new PtyEndpoint());
  pty->master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (pty->master_ < 0 || ::grantpt(pty->master_) != 0 || ::unlockpt(pty->master_) != 0) {
    error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
    return nullptr;
  }
  char name[128];
  if (::ptsname_r(pty->master_, name, sizeof name) != 0) {
    error = "ptsname failed";
    return nullptr;
  }
  pty->slavePath_ = name;
  pty->slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (pty->slave_ < 0) {
    error = std::string("cannot open ") + name + ": " + std::strerror(errno);
    return nullptr;
  }
  termios tio{};
  ::tcgetattr(pty->slave_, &tio);
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  ::cfsetispeed(&tio, B115200);
  ::cfsetospeed(&tio, B115200);
  ::tcsetattr(pty->slave_, TCSANOW, &tio);
  ::fcntl(pty->master_, F_SETFL, ::fcntl(pty->master_, F_GETFL) | O_NONBLOCK);
  pty->inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (pty->inotify_ >= 0) ::inotify_add_watch(pty->inotify_, name, IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE);
  return pty;
}

PtyEndpoint::~PtyEndpoint() {
  close();
}

ssize_t PtyEndpoint::read(char* buffer, size_t size) { return master_ < 0 ? -1 : ::read(master_, buffer, size); }

ssize_t PtyEndpoint::write(const char* data, size_t size) {
  return master_ < 0 ? -1 : ::write(master_, data, size);
}

bool PtyEndpoint::clientClosed() {
  if (inotify_ < 0) return false;
  alignas(inotify_event) char buf[4096];
  bool closed = false;
  for (;;) {
    const ssize_t n = ::read(inotify_, buf, sizeof buf);
    if (n <= 0) break;
    for (ssize_t off = 0; off < n;) {
      const auto* ev = reinterpret_cast<const inotify_event*>(buf + off);
      if (ev->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) closed = true;
      if (ev->mask & IN_OPEN) closed = false;
      off += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
    }
  }
  return closed;
}

void PtyEndpoint::forgetClient() {
  if (slave_ < 0) return;
  ::ioctl(slave_, TIOCNXCL);
  ::tcflush(slave_, TCIFLUSH);
}

bool PtyEndpoint::link(const std::string& path, std::string& error) {
  ::unlink(path.c_str());
  if (::symlink(slavePath_.c_str(), path.c_str()) != 0) {
    error = "cannot link " + path + ": " + std::strerror(errno);
    return false;
  }
  linkPath_ = path;
  return true;
}

void PtyEndpoint::close() {
  if (!linkPath_.empty()) {
    ::unlink(linkPath_.c_str());
    linkPath_.clear();
  }
  for (int* fd : {&inotify_, &slave_, &master_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

}  // namespace fonexa::sim
