// The call tracker's traffic and cost over a scripted call of one minute on
// the virtual phone: the +CLCC exchanges per pass while a call is listed, none
// once the list is empty or when nobody handles the call-list event, and the
// CPU the process spends while the tracker only waits.
//
//   bench-call-tracking [call seconds, default 60]
#include <stdlib.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "fonexa/CMxGsmBasics.h"
#include "services/CMxGsmCall.h"
#include "services/CMxGsmCallsCompare.h"
#include "session/StopEvent.h"
#include "sim/VirtualModem.h"

namespace {

using Clock = std::chrono::steady_clock;

class CountingHandler : public IMxGsmHandler {
 public:
  int OnEvent(uint32_t, const std::string&, uint32_t) override {
    ++events;
    return 1;
  }
  std::atomic<int> events{0};
};

size_t CountOf(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

size_t ClccSent(fonexa::sim::VirtualModem& modem) {
  return CountOf(modem.transcript().text(fonexa::sim::Direction::In), "AT+CLCC\r");
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void Wait(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

}  // namespace

int main(int argc, char** argv) {
  setenv("FONEXA_PLUGIN_PATH", FONEXA_PLUGIN_DIR, 0);
  setenv("FONEXA_MUTEX_NAMESPACE", "bench-calls", 0);
  const double callSeconds = argc > 1 ? std::atof(argv[1]) : 60.0;

  fonexa::sim::ModemOptions options;
  options.profile = "nokia";  // ATD answers at once: the tracker sees the whole call
  options.registrationDelay = std::chrono::milliseconds(0);
  fonexa::sim::VirtualModem modem(options);
  if (!modem.start()) return 1;
  modem.update([](fonexa::sim::ModemContext& ctx) {
    ctx.calls.rules.setTiming(std::chrono::milliseconds(500), std::chrono::milliseconds(500));
  });
  CMxGsmBasics session;
  if (!session.Create("NokiaPhone@" + modem.devicePath()) || !session.Initialize()) return 1;

  // Idle: the tracker runs and nothing is listed.
  { CMxGsmCall start(&session); }
  const double idleCpu0 = ProcessCpuSeconds();
  const auto idle0 = Clock::now();
  Wait(10);
  const double idleWall = std::chrono::duration<double>(Clock::now() - idle0).count();
  const double idleCpu = ProcessCpuSeconds() - idleCpu0;

  // A call of callSeconds with a handler: one exchange per pass.
  CountingHandler handler;
  const uint32_t key = session.RegisterEvent(CMxGsmBasics::kEventCallList, &handler);
  const size_t before = ClccSent(modem);
  const auto call0 = Clock::now();
  if (!CMxGsmCall(&session).StartDial("+4917012345")) return 1;
  Wait(callSeconds);
  modem.remoteHangUp();
  const double callWall = std::chrono::duration<double>(Clock::now() - call0).count();
  Wait(2);  // the pass that sees the call gone
  const size_t duringCall = ClccSent(modem) - before;
  const size_t afterEnd0 = ClccSent(modem);
  Wait(10);
  const size_t afterEnd = ClccSent(modem) - afterEnd0;
  session.UnregisterEvent(key);

  // A call answered with nobody handling the call-list event: no traffic.
  const size_t quiet0 = ClccSent(modem);
  modem.ring("+4917011111");
  Wait(0.5);
  CMxGsmCall(&session).Answer();
  Wait(10);
  CMxGsmCall(&session).Hangup();
  const size_t withoutHandler = ClccSent(modem) - quiet0;

  std::printf("call tracking on the virtual phone (nokia profile)\n");
  std::printf("  call of %.1f s with a call-list handler: %zu +CLCC exchanges, %.2f passes/s, %d events\n", callWall,
              duringCall, duringCall / callWall, handler.events.load());
  std::printf("  10 s after the call ended: %zu +CLCC exchanges\n", afterEnd);
  std::printf("  10 s of an answered call without a handler: %zu +CLCC exchanges\n", withoutHandler);
  std::printf("  idle for %.1f s: process CPU %.3f s (%.2f %% of one core)\n", idleWall, idleCpu,
              100.0 * idleCpu / idleWall);

  CMxGsmCall::WaitForDial();
  fonexa::StopEvent().Set();
  fonexa::CallTracking::WaitUntilStopped();
  return 0;
}
