// "AT" round trips against the virtual modem: through the bare serial channel,
// and through the session with its lock taken and released around each one,
// in the same run. The difference is what the session and its lock cost.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include "fonexa/CMxComPort.h"
#include "fonexa/CMxGsmBasics.h"
#include "sim/VirtualModem.h"

namespace {

void PortRoundTrip(benchmark::State& state) {
  fonexa::sim::VirtualModem modem;
  if (!modem.start()) state.SkipWithError("modem");
  CMxComPort port;
  if (!port.OpenPort(modem.devicePath(), 115200, 50, 4096, 8, 0, 0)) state.SkipWithError("open");
  port.WriteString("ATE0\r");
  port.ReadAnswerLineString(3000);
  port.ReadAnswerLineString(3000);
  port.EnableEcho(0);
  for (auto _ : state) {
    port.WriteCommandString("AT\r", 3000);
    if (!port.IsOk(port.ReadAnswerString(3000))) state.SkipWithError("no OK");
  }
  port.ClosePort();
}

void SessionRoundTrip(benchmark::State& state) {
  fonexa::sim::VirtualModem modem;
  if (!modem.start()) state.SkipWithError("modem");
  CMxGsmBasics session;
  if (!session.Create("GenericPhone@" + modem.devicePath() + "@115200") || !session.Initialize())
    state.SkipWithError("session");
  for (auto _ : state) {
    session.Attach("bench", 10000);
    if (!session.SendTestCommand()) state.SkipWithError("no OK");
    session.Detach();
  }
}

// The lock alone, taken and released with no traffic.
void SessionLockOnly(benchmark::State& state) {
  fonexa::sim::VirtualModem modem;
  if (!modem.start()) state.SkipWithError("modem");
  CMxGsmBasics session;
  if (!session.Create("GenericPhone@" + modem.devicePath() + "@115200") || !session.Initialize())
    state.SkipWithError("session");
  for (auto _ : state) {
    session.Attach("bench", 10000);
    session.Detach();
  }
}

// The session's exchange without the lock.
void SessionExchangeOnly(benchmark::State& state) {
  fonexa::sim::VirtualModem modem;
  if (!modem.start()) state.SkipWithError("modem");
  CMxGsmBasics session;
  if (!session.Create("GenericPhone@" + modem.devicePath() + "@115200") || !session.Initialize())
    state.SkipWithError("session");
  for (auto _ : state) {
    if (!session.SendTestCommand()) state.SkipWithError("no OK");
  }
}

}  // namespace

BENCHMARK(SessionLockOnly)->UseRealTime()->MinTime(1.0);
BENCHMARK(SessionExchangeOnly)->UseRealTime()->MinTime(3.0);
BENCHMARK(PortRoundTrip)->UseRealTime()->MinTime(3.0);
BENCHMARK(SessionRoundTrip)->UseRealTime()->MinTime(3.0);

int main(int argc, char** argv) {
  setenv("FONEXA_PLUGIN_PATH", PLUGIN_DIR, 0);
  setenv("FONEXA_MUTEX_NAMESPACE", "bench", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
