// "AT\r" -> "\r\nOK\r\n" over a pseudo-terminal: through CMxComPort, and the
// raw floor of the same bytes with plain write, poll and read, in one run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "fonexa/CMxComPort.h"
#include "text/DebugLog.h"

namespace {

// The device end: answers every "AT\r" with "\r\nOK\r\n", no echo.
class Responder {
 public:
  Responder() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    grantpt(master_);
    unlockpt(master_);
    char name[128];
    ptsname_r(master_, name, sizeof name);
    slave_ = name;
    thread_ = std::thread([this] { Run(); });
  }
  ~Responder() {
    stop_ = true;
    thread_.join();
    close(master_);
  }
  const std::string& Slave() const { return slave_; }

 private:
  void Run() {
    char buffer[64];
    size_t pending = 0;
    while (!stop_) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      const ssize_t n = read(master_, buffer + pending, sizeof buffer - pending);
      if (n <= 0) continue;
      pending += static_cast<size_t>(n);
      while (pending >= 3) {
        const void* cr = std::memchr(buffer, '\r', pending);
        if (!cr) {
          pending = 0;
          break;
        }
        const size_t used = static_cast<const char*>(cr) - buffer + 1;
        if (write(master_, "\r\nOK\r\n", 6) != 6) return;
        std::memmove(buffer, buffer + used, pending - used);
        pending -= used;
      }
    }
  }

  int master_;
  std::string slave_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

void RawFloor(benchmark::State& state) {
  Responder responder;
  const int fd = open(responder.Slave().c_str(), O_RDWR | O_NOCTTY);
  termios t{};
  tcgetattr(fd, &t);
  cfmakeraw(&t);
  tcsetattr(fd, TCSANOW, &t);
  char buffer[16];
  for (auto _ : state) {
    if (write(fd, "AT\r", 3) != 3) state.SkipWithError("write");
    size_t got = 0;
    while (got < 6) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 3000) <= 0) break;
      const ssize_t n = read(fd, buffer + got, sizeof buffer - got);
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    if (got != 6) state.SkipWithError("short answer");
  }
  close(fd);
}

void PortRoundTrip(benchmark::State& state, bool logOpen) {
  Responder responder;
  char folder[] = "/tmp/fonexa-bench-XXXXXX";
  if (logOpen) {
    mkdtemp(folder);
    fonexa::OpenDebugLogs(std::string(folder) + "/trace.log");
  }
  CMxComPort port;
  if (!port.OpenPort(responder.Slave(), 115200, 50, 4096, 8, 0, 0)) state.SkipWithError("open");
  port.EnableEcho(0);
  for (auto _ : state) {
    port.WriteCommandString("AT\r", 3000);
    if (!port.IsOk(port.ReadAnswerString(3000))) state.SkipWithError("no OK");
  }
  port.ClosePort();
  if (logOpen) {
    fonexa::CloseDebugLogs();
    std::string cleanup = std::string("rm -rf ") + folder;
    if (system(cleanup.c_str()) != 0) state.SkipWithError("cleanup");
  }
}

void PortRoundTripLogClosed(benchmark::State& state) { PortRoundTrip(state, false); }
void PortRoundTripLogOpen(benchmark::State& state) { PortRoundTrip(state, true); }

}  // namespace

BENCHMARK(RawFloor)->UseRealTime()->MinTime(2.0);
BENCHMARK(PortRoundTripLogClosed)->UseRealTime()->MinTime(2.0);
BENCHMARK(PortRoundTripLogOpen)->UseRealTime()->MinTime(2.0);
BENCHMARK_MAIN();
