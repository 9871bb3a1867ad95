// What the export frame costs: GetSignalQuality through the exported function
// (instance lock, state check, service object, copy-out) beside the same
// service call on the bare session, and the bare session's "AT", in one run.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include "fonexa/CMxGsmBasics.h"
#include "fonexa/FonexaCore.h"
#include "services/CMxGsmNetwork.h"
#include "sim/VirtualModem.h"

namespace {

void ExportGetSignalQuality(benchmark::State& state) {
  fonexa::sim::VirtualModem modem;
  if (!modem.start()) state.SkipWithError("modem");
  MxGsmHandle h = CreateGsmInstance();
  if (!Initialize(h, ("GenericPhone@" + modem.devicePath() + "@115200").c_str())) state.SkipWithError("init");
  GetState(h, 4);
  for (auto _ : state) {
    int rssi = -1, ber = -1;
    if (!GetSignalQuality(h, &rssi, &ber)) state.SkipWithError("no signal");
  }
  ReleaseGsm(h);
}

void BareSessionGetSignalQuality(benchmark::State& state) {
  fonexa::sim::VirtualModem modem;
  if (!modem.start()) state.SkipWithError("modem");
  CMxGsmBasics session;
  if (!session.Create("GenericPhone@" + modem.devicePath() + "@115200") || !session.Initialize())
    state.SkipWithError("session");
  for (auto _ : state) {
    int rssi = -1, ber = -1;
    if (!CMxGsmNetwork(&session).GetSignalQuality(rssi, ber)) state.SkipWithError("no signal");
  }
}

void BareSessionSendTestCommand(benchmark::State& state) {
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

BENCHMARK(ExportGetSignalQuality)->UseRealTime()->MinTime(3.0);
BENCHMARK(BareSessionGetSignalQuality)->UseRealTime()->MinTime(3.0);
BENCHMARK(BareSessionSendTestCommand)->UseRealTime()->MinTime(3.0);

int main(int argc, char** argv) {
  setenv("FONEXA_PLUGIN_PATH", PLUGIN_DIR, 0);
  setenv("FONEXA_MUTEX_NAMESPACE", "bench", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
