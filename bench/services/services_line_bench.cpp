// Reading a full SIM phone book (250 entries) and listing the networks in reach,
// against the virtual phone at 115200 baud (11,520 bytes per second). Each
// operation's time is set beside the line time of the bytes it exchanged, as
// the phone's transcript counts them: what the core adds to the line is the
// overhead, which should stay within 5 %.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fonexa/CMxGsmBasics.h"
#include "services/CMxGsmNetwork.h"
#include "services/CMxGsmPhoneBook.h"
#include "sim/OperatorTable.h"
#include "sim/VirtualModem.h"

namespace {

constexpr int kBytesPerSecond = 11520;

struct Phone {
  Phone() {
    fonexa::sim::ModemOptions options;
    options.bytesPerSecond = kBytesPerSecond;
    options.registrationDelay = std::chrono::milliseconds(0);
    modem = std::make_unique<fonexa::sim::VirtualModem>(options);
    modem->start();
    modem->update([](fonexa::sim::ModemContext& ctx) {
      // The band scan is the phone's own time, not the line's: left out.
      ctx.networkScanTime = std::chrono::milliseconds(0);
      auto& entries = ctx.phoneBooks.find("SM")->entries;
      for (int i = 1; i <= 250; ++i) {
        entries[i] = {"+49170" + std::to_string(1000000 + i), 145, "Contact, No " + std::to_string(i), {}};
      }
    });
    ok = session.Create("GenericPhone@" + modem->devicePath() + "@115200") && session.Initialize();
  }
  std::unique_ptr<fonexa::sim::VirtualModem> modem;
  CMxGsmBasics session;
  bool ok = false;
};

Phone& SharedPhone() {
  static Phone phone;
  return phone;
}

size_t BytesOnLine(fonexa::sim::VirtualModem& modem) {
  return modem.transcript().size(fonexa::sim::Direction::In) + modem.transcript().size(fonexa::sim::Direction::Out);
}

// The time within [start, end] in which the phone's side was idle waiting for
// the core: before the first command byte arrived, between the last byte of an
// answer and the next command, and after the last answer byte. That is the
// core's own share; the rest is line and phone.
double CoreSeconds(const std::vector<fonexa::sim::TranscriptEntry>& entries, size_t from,
                   std::chrono::steady_clock::time_point start, std::chrono::steady_clock::time_point end) {
  using fonexa::sim::Direction;
  std::chrono::duration<double> idle{0};
  auto waitingSince = start;  // the line is the core's until its next command arrives
  bool waiting = true;
  for (size_t i = from; i < entries.size(); ++i) {
    const auto& e = entries[i];
    if (e.direction == Direction::In && waiting) {
      idle += e.time - waitingSince;
      waiting = false;
    } else if (e.direction == Direction::Out) {
      waitingSince = e.time;
      waiting = true;
    }
  }
  if (waiting) idle += end - waitingSince;
  return idle.count();
}

// Runs one operation per iteration; the iteration time is its wall time.
void MeasureAgainstLine(benchmark::State& state, const std::function<bool(Phone&)>& operation) {
  Phone& phone = SharedPhone();
  if (!phone.ok) {
    state.SkipWithError("no session on the virtual phone");
    return;
  }
  double seconds = 0;
  double coreSeconds = 0;
  size_t bytes = 0;
  for (auto _ : state) {
    const size_t before = BytesOnLine(*phone.modem);
    const size_t entriesBefore = phone.modem->transcript().entries().size();
    const auto start = std::chrono::steady_clock::now();
    const bool done = operation(phone);
    const auto end = std::chrono::steady_clock::now();
    if (!done) {
      state.SkipWithError("the operation failed");
      return;
    }
    const std::chrono::duration<double> took = end - start;
    state.SetIterationTime(took.count());
    seconds += took.count();
    coreSeconds += CoreSeconds(phone.modem->transcript().entries(), entriesBefore, start, end);
    bytes += BytesOnLine(*phone.modem) - before;
  }
  const double runs = static_cast<double>(state.iterations());
  const double lineSeconds = static_cast<double>(bytes) / kBytesPerSecond;
  state.counters["bytes"] = static_cast<double>(bytes) / runs;
  state.counters["line_ms"] = lineSeconds * 1000 / runs;
  state.counters["took_ms"] = seconds * 1000 / runs;
  state.counters["over_line_pct"] = (seconds / lineSeconds - 1) * 100;
  state.counters["core_ms"] = coreSeconds * 1000 / runs;
  state.counters["core_pct"] = coreSeconds / lineSeconds * 100;
}

void ReadWholePhoneBook(benchmark::State& state) {
  std::vector<fonexa::PhoneBookEntry> list;
  MeasureAgainstLine(state, [&](Phone& phone) {
    return CMxGsmPhoneBook(&phone.session).ReadPhoneBookEntries(-1, -1, list) == 1 && list.size() == 250;
  });
}

// The networks in reach: the phone's usual four, or a crowded border with as
// many as the argument says.
void ListLocalOperators(benchmark::State& state) {
  const auto networks = static_cast<size_t>(state.range(0));
  SharedPhone().modem->update([networks](fonexa::sim::ModemContext& ctx) {
    ctx.network.visible.clear();
    for (size_t i = 0; i < networks && i < fonexa::sim::knownOperators().size(); ++i) {
      ctx.network.visible.push_back({fonexa::sim::knownOperators()[i].numeric, false});
    }
  });
  std::vector<fonexa::OperatorEntry> list;
  MeasureAgainstLine(state, [&](Phone& phone) {
    return CMxGsmNetwork(&phone.session).GetLocalOperatorEntries(list) == 1 && list.size() == networks;
  });
}

}  // namespace

// Repeated, and summed up by the median: a loaded machine's scheduling shows in
// single runs of a 16 ms exchange.
BENCHMARK(ReadWholePhoneBook)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true);
BENCHMARK(ListLocalOperators)
    ->Arg(4)
    ->Arg(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true);

int main(int argc, char** argv) {
  setenv("FONEXA_PLUGIN_PATH", FONEXA_PLUGIN_DIR, 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
