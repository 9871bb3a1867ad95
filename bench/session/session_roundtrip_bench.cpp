// "AT" round trips against the virtual modem: through the bare serial channel,
// and through the session with its lock taken and released around each one,
// in the same run. The difference is what the session and its lock cost; the
// lock alone and the exchange alone are shown apart.
#include <benchmark/benchmark.h>

#include "SessionOnModem.h"
#include "fonexa/CMxComPort.h"

using fonexa::bench::SessionOnModem;

namespace {

void PortRoundTrip(benchmark::State& state) {
  SessionOnModem setup;
  if (!setup.Start(false)) state.SkipWithError("modem");
  CMxComPort port;
  if (!port.OpenPort(setup.modem.devicePath(), 115200, 50, 4096, 8, 0, 0)) state.SkipWithError("open");
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
  SessionOnModem setup;
  if (!setup.Start()) state.SkipWithError("session");
  for (auto _ : state) {
    setup.session.Attach("bench", 10000);
    if (!setup.session.SendTestCommand()) state.SkipWithError("no OK");
    setup.session.Detach();
  }
}

void SessionLockOnly(benchmark::State& state) {
  SessionOnModem setup;
  if (!setup.Start()) state.SkipWithError("session");
  for (auto _ : state) {
    setup.session.Attach("bench", 10000);
    setup.session.Detach();
  }
}

void SessionExchangeOnly(benchmark::State& state) {
  SessionOnModem setup;
  if (!setup.Start()) state.SkipWithError("session");
  for (auto _ : state) {
    if (!setup.session.SendTestCommand()) state.SkipWithError("no OK");
  }
}

}  // namespace

BENCHMARK(SessionLockOnly)->UseRealTime()->MinTime(1.0);
BENCHMARK(SessionExchangeOnly)->UseRealTime()->MinTime(3.0);
BENCHMARK(PortRoundTrip)->UseRealTime()->MinTime(3.0);
BENCHMARK(SessionRoundTrip)->UseRealTime()->MinTime(3.0);

int main(int argc, char** argv) { return fonexa::bench::RunBenchmarks(argc, argv, PLUGIN_DIR); }
