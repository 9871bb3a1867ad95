#include "platform/PosixSerialDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/Tick.h"

namespace fonexa::platform {

namespace {

struct BaudEntry {
  uint32_t rate;
  speed_t code;
};

constexpr BaudEntry kBaudRates[] = {
    {50, B50},         {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},       {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},     {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},   {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedCode(uint32_t rate, speed_t& code) {
  for (const auto& entry : kBaudRates) {
    if (entry.rate == rate) {
      code = entry.code;
      return true;
    }
  }
  return false;
}

uint32_t RateOf(speed_t code) {
  for (const auto& entry : kBaudRates) {
    if (entry.code == code) return entry.rate;
  }
  return 0;
}

int PollOnce(int fd, short events, uint32_t timeoutMs) {
  pollfd p{fd, events, 0};
  for (;;) {
    const int rc = poll(&p, 1, static_cast<int>(timeoutMs));
    if (rc < 0 && errno == EINTR) continue;
    if (rc <= 0) return rc;
    return p.revents;
  }
}

}  // namespace

std::string PosixSerialDevice::DevicePathFor(const std::string& portName) {
  std::string name = portName;
  if (!name.empty() && name.back() == ':') name.pop_back();
  if (name.size() > 3 && (name[0] == 'C' || name[0] == 'c') && (name[1] == 'O' || name[1] == 'o') &&
      (name[2] == 'M' || name[2] == 'm')) {
    bool digits = true;
    for (size_t i = 3; i < name.size(); ++i) digits = digits && name[i] >= '0' && name[i] <= '9';
    if (digits) {
      const long n = std::strtol(name.c_str() + 3, nullptr, 10);
      if (n >= 1) return "/dev/ttyS" + std::to_string(n - 1);
    }
  }
  return portName;
}

int PosixSerialDevice::Open(const std::string& portName) {
  const std::string path = DevicePathFor(portName);
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return kInvalidHandle;
  // One owner at a time: two readers of one line would steal each other's answers.
  if (isatty(fd) && ioctl(fd, TIOCEXCL) != 0) {
    close(fd);
    return kInvalidHandle;
  }
  return fd;
}

bool PosixSerialDevice::Close(int fd) {
  if (fd == kInvalidHandle) return true;
  if (isatty(fd)) ioctl(fd, TIOCNXCL);
  return close(fd) == 0 || errno == EINTR;
}

bool PosixSerialDevice::ReadLineSettings(int fd, LineSettings& settings) {
  if (fd == kInvalidHandle || tcgetattr(fd, &settings.attributes) != 0) return false;
  settings.baudRate = RateOf(cfgetospeed(&settings.attributes));
  const tcflag_t size = settings.attributes.c_cflag & CSIZE;
  settings.byteSize = size == CS5 ? 5 : size == CS6 ? 6 : size == CS7 ? 7 : 8;
  settings.parity = (settings.attributes.c_cflag & PARENB) ? ((settings.attributes.c_cflag & PARODD) ? 1 : 2) : 0;
  settings.stopBits = (settings.attributes.c_cflag & CSTOPB) ? 2 : 0;
  return true;
}

bool PosixSerialDevice::WriteLineSettings(int fd, const LineSettings& settings) {
  if (fd == kInvalidHandle) return false;
  speed_t speed;
  if (!SpeedCode(settings.baudRate, speed)) return false;
  termios t = settings.attributes;
  cfmakeraw(&t);
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | CMSPAR);
  t.c_cflag |= CLOCAL | CREAD;
  switch (settings.byteSize) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    case 8: t.c_cflag |= CS8; break;
    default: return false;
  }
  switch (settings.parity) {
    case 0: break;
    case 1: t.c_cflag |= PARENB | PARODD; break;
    case 2: t.c_cflag |= PARENB; break;
    case 3: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case 4: t.c_cflag |= PARENB | CMSPAR; break;
    default: return false;
  }
  if (settings.stopBits == 1 || settings.stopBits == 2) t.c_cflag |= CSTOPB;
  t.c_iflag &= ~(IXON | IXOFF | IXANY);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (cfsetispeed(&t, speed) != 0 || cfsetospeed(&t, speed) != 0) return false;
  return tcsetattr(fd, TCSANOW, &t) == 0;
}

size_t PosixSerialDevice::Read(int fd, uint8_t* buffer, size_t count, uint32_t timeoutMs, IoStatus& status) {
  status = IoStatus::Failed;
  if (fd == kInvalidHandle || !buffer || count == 0) return 0;
  bool waited = false;
  for (;;) {
    const ssize_t n = read(fd, buffer, count);
    if (n > 0) {
      status = IoStatus::Ok;
      return static_cast<size_t>(n);
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return 0;  // EIO and friends: the device is gone
    // Nothing buffered (a raw line answers 0 or EAGAIN). After poll reported
    // the line readable, still nothing means the other end hung up.
    if (waited) return 0;
    const int revents = PollOnce(fd, POLLIN, timeoutMs);
    if (revents < 0) return 0;
    if (revents == 0) {
      status = IoStatus::TimedOut;
      return 0;
    }
    if ((revents & (POLLHUP | POLLERR | POLLNVAL)) && !(revents & POLLIN)) return 0;
    waited = true;
  }
}

size_t PosixSerialDevice::Write(int fd, const uint8_t* buffer, size_t count, uint32_t timeoutMs, IoStatus& status) {
  status = IoStatus::Failed;
  if (fd == kInvalidHandle || !buffer || count == 0) return 0;
  const uint32_t start = TickCount();
  size_t written = 0;
  while (written < count) {
    const ssize_t n = write(fd, buffer + written, count - written);
    if (n > 0) {
      written += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return written;
    const uint32_t spent = TickCount() - start;
    if (spent >= timeoutMs) {
      status = IoStatus::TimedOut;
      return written;
    }
    const int revents = PollOnce(fd, POLLOUT, timeoutMs - spent);
    if (revents < 0 || (revents & (POLLHUP | POLLERR | POLLNVAL))) return written;
  }
  status = IoStatus::Ok;
  return written;
}

bool PosixSerialDevice::Flush(int fd) {
  return fd != kInvalidHandle && tcflush(fd, TCIOFLUSH) == 0;
}

bool PosixSerialDevice::RingIndicator(int fd, bool& ringing) {
  int lines = 0;
  if (fd == kInvalidHandle || ioctl(fd, TIOCMGET, &lines) != 0) return false;
  ringing = (lines & TIOCM_RNG) != 0;
  return true;
}

}  // namespace fonexa::platform
