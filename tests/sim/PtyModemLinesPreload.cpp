// Preloaded into serial clients that insist on modem-control lines. A Linux
// pseudo-terminal has no DTR, RTS or carrier, so TIOCMGET / TIOCMSET /
// TIOCMBIS / TIOCMBIC fail there with ENOTTY; gsmctl toggles DTR when it
// opens a port and gives up on that error. For a terminal that lacks the
// lines this library keeps them in memory instead (carrier, DSR and CTS
// always on), and passes every other ioctl through untouched.
#include <dlfcn.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>

namespace {
int lines = TIOCM_DTR | TIOCM_RTS;
constexpr int kAlwaysOn = TIOCM_CAR | TIOCM_DSR | TIOCM_CTS;

bool isModemLineRequest(unsigned long request) {
  return request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC;
}
}  // namespace

extern "C" __attribute__((visibility("default"))) int ioctl(int fd, unsigned long request, ...) {
  using Ioctl = int (*)(int, unsigned long, void*);
  static Ioctl real = reinterpret_cast<Ioctl>(dlsym(RTLD_NEXT, "ioctl"));
  va_list args;
  va_start(args, request);
  void* argument = va_arg(args, void*);
  va_end(args);
  const int result = real(fd, request, argument);
  if (result == 0 || errno != ENOTTY || !isModemLineRequest(request) || !isatty(fd) || !argument) return result;
  int* bits = static_cast<int*>(argument);
  switch (request) {
    case TIOCMGET: *bits = lines | kAlwaysOn; break;
    case TIOCMSET: lines = *bits; break;
    case TIOCMBIS: lines |= *bits; break;
    case TIOCMBIC: lines &= ~*bits; break;
    default: break;
  }
  errno = 0;
  return 0;
}
