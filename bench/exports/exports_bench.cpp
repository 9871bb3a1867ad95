// What the export frame costs: GetSignalQuality through the exported function
// (instance lock, state check, service object, copy-out) beside the same
// service call on the bare session, and the bare session's "AT", in one run.
#include <benchmark/benchmark.h>

#include "SessionOnModem.h"
#include "fonexa/FonexaCore.h"
#include "services/CMxGsmNetwork.h"

using fonexa::bench::SessionOnModem;

namespace {

void ExportGetSignalQuality(benchmark::State& state) {
  SessionOnModem setup;
  if (!setup.Start(false)) state.SkipWithError("modem");
  MxGsmHandle h = CreateGsmInstance();
  if (!Initialize(h, setup.Specification().c_str())) state.SkipWithError("init");
  for (auto _ : state) {
    int rssi = -1, ber = -1;
    if (!GetSignalQuality(h, &rssi, &ber)) state.SkipWithError("no signal");
  }
  ReleaseGsm(h);
}

void BareSessionGetSignalQuality(benchmark::State& state) {
  SessionOnModem setup;
  if (!setup.Start()) state.SkipWithError("session");
  for (auto _ : state) {
    int rssi = -1, ber = -1;
    if (!CMxGsmNetwork(&setup.session).GetSignalQuality(rssi, ber)) state.SkipWithError("no signal");
  }
}

void BareSessionSendTestCommand(benchmark::State& state) {
  SessionOnModem setup;
  if (!setup.Start()) state.SkipWithError("session");
  for (auto _ : state) {
    if (!setup.session.SendTestCommand()) state.SkipWithError("no OK");
  }
}

}  // namespace

BENCHMARK(ExportGetSignalQuality)->UseRealTime()->MinTime(3.0);
BENCHMARK(BareSessionGetSignalQuality)->UseRealTime()->MinTime(3.0);
BENCHMARK(BareSessionSendTestCommand)->UseRealTime()->MinTime(3.0);

int main(int argc, char** argv) { return fonexa::bench::RunBenchmarks(argc, argv, PLUGIN_DIR); }
