// Answer latency of "AT\r" over the pty, the modem beside the floor of the
// pty itself measured in the same run: a bare responder thread that answers
// "\r\nOK\r\n" to whatever it reads. Both are driven by the same client code,
// one round trip of each in turn, so that load on the machine hits both
// alike. Counters give medians in microseconds; the physical line time of
// the same exchange at 9600 baud is printed beside them.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "sim/VirtualModem.h"

namespace {

using Clock = std::chrono::steady_clock;

int openRaw(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
  termios tio{};
  ::tcgetattr(fd, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(fd, TCSANOW, &tio);
  return fd;
}

// Reads one answer, up to its "OK\r\n".
bool readAnswer(int fd) {
  char buf[64];
  size_t have = 0;
  while (have < 6 || std::string_view(buf, have).find("OK\r\n") == std::string_view::npos) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 2000) <= 0) return false;
    const ssize_t n = ::read(fd, buf + have, sizeof buf - have);
    if (n <= 0) return false;
    have += static_cast<size_t>(n);
  }
  return true;
}

// One "AT\r" and its answer.
bool roundTrip(int fd) { return ::write(fd, "AT\r", 3) == 3 && readAnswer(fd); }

// The floor: a pty whose master is served by a thread that does nothing but
// read and answer.
class BarePty {
 public:
  BarePty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    ::grantpt(master_);
    ::unlockpt(master_);
    client_ = openRaw(::ptsname(master_));
    responder_ = std::thread([this] {
      char buf[256];
      while (!stop_) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0 && std::memchr(buf, '\r', static_cast<size_t>(n))) {
          [[maybe_unused]] auto w = ::write(master_, "\r\nOK\r\n", 6);
        }
      }
    });
  }
  ~BarePty() {
    stop_ = true;
    responder_.join();
    ::close(client_);
    ::close(master_);
  }
  int client() const { return client_; }

 private:
  int master_ = -1;
  int client_ = -1;
  std::atomic<bool> stop_{false};
  std::thread responder_;
};

double medianMicros(std::vector<double>& samples) {
  if (samples.empty()) return 0;
  std::nth_element(samples.begin(), samples.begin() + static_cast<long>(samples.size() / 2), samples.end());
  return samples[samples.size() / 2];
}

struct ModemOnPty {
  ModemOnPty() {
    fonexa::sim::ModemOptions options;
    options.registrationDelay = std::chrono::milliseconds(0);
    modem = std::make_unique<fonexa::sim::VirtualModem>(options);
    modem->start();
    fd = openRaw(modem->devicePath());
    if (::write(fd, "ATE0\r", 5) != 5 || !readAnswer(fd)) std::abort();
  }
  ~ModemOnPty() {
    ::close(fd);
    modem.reset();
  }
  std::unique_ptr<fonexa::sim::VirtualModem> modem;
  int fd = -1;
};

void BM_AnswerLatencyBesideThePtyFloor(benchmark::State& state) {
  BarePty floor;
  ModemOnPty modem;
  std::vector<double> floorSamples;
  std::vector<double> modemSamples;
  for (auto _ : state) {
    auto t0 = Clock::now();
    if (!roundTrip(floor.client())) state.SkipWithError("the bare pty did not answer");
    auto t1 = Clock::now();
    if (!roundTrip(modem.fd)) state.SkipWithError("the modem did not answer");
    auto t2 = Clock::now();
    floorSamples.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    modemSamples.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
  }
  const double floorMedian = medianMicros(floorSamples);
  const double modemMedian = medianMicros(modemSamples);
  state.counters["pty_floor_median_us"] = floorMedian;
  state.counters["modem_median_us"] = modemMedian;
  state.counters["modem_adds_us"] = modemMedian - floorMedian;
  // "AT\r" and "\r\nOK\r\n", ten bits a byte at 9600 baud.
  state.counters["line_9600_baud_us"] = 9 * 10 * 1e6 / 9600;
}
BENCHMARK(BM_AnswerLatencyBesideThePtyFloor)->Iterations(5000)->Unit(benchmark::kMicrosecond);

// One command after the other, each answer awaited: the rate a terminal
// that waits for every answer gets.
void BM_CommandsPerSecond(benchmark::State& state) {
  ModemOnPty modem;
  std::vector<double> samples;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    if (!roundTrip(modem.fd)) state.SkipWithError("the modem did not answer");
    samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["median_us"] = medianMicros(samples);
}
BENCHMARK(BM_CommandsPerSecond)->Iterations(20000)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Commands written in bursts of 100 before the answers are read: what the
// modem itself can serve, with the client's wake-ups out of the way.
void BM_PipelinedCommandsPerSecond(benchmark::State& state) {
  ModemOnPty modem;
  constexpr int kBurst = 100;
  std::string burst;
  for (int i = 0; i < kBurst; ++i) burst += "AT\r";
  for (auto _ : state) {
    if (::write(modem.fd, burst.data(), burst.size()) != static_cast<ssize_t>(burst.size())) {
      state.SkipWithError("short write");
    }
    int answers = 0;
    std::string pending;
    char buf[4096];
    while (answers < kBurst) {
      pollfd p{modem.fd, POLLIN, 0};
      if (::poll(&p, 1, 2000) <= 0) {
        state.SkipWithError("the modem did not answer");
        break;
      }
      const ssize_t n = ::read(modem.fd, buf, sizeof buf);
      if (n <= 0) break;
      pending.append(buf, static_cast<size_t>(n));
      size_t at;
      while ((at = pending.find("OK\r\n")) != std::string::npos) {
        ++answers;
        pending.erase(0, at + 4);
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * kBurst);
}
BENCHMARK(BM_PipelinedCommandsPerSecond)->Iterations(500)->Unit(benchmark::kMicrosecond)->UseRealTime();

// With the line speed of a 9600-baud port (960 bytes a second) the modem's
// answer takes the physical line time, and its own share disappears in it.
void BM_AnswerAtLineSpeed9600(benchmark::State& state) {
  ModemOnPty modem;
  modem.modem->setLineSpeed(960);
  std::vector<double> samples;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    if (!roundTrip(modem.fd)) state.SkipWithError("the modem did not answer");
    samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
  }
  state.counters["median_us"] = medianMicros(samples);
  state.counters["line_9600_baud_us"] = 9 * 10 * 1e6 / 9600;
}
BENCHMARK(BM_AnswerAtLineSpeed9600)->Iterations(50)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
