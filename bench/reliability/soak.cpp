// The soak run as a program: prints each sample as it is taken, then the
// figures. Arguments: seconds of traffic (default 600), seconds between
// samples (default 10), seconds of warm-up (default 60). FONEXA_SOAK_TRACE
// names a trace log to write (the traffic log "com.txt" goes beside it).
#include <cstdio>
#include <cstdlib>

#include "soak_run.h"

int main(int argc, char** argv) {
  using namespace fonexa::soak;
  Options options;
  options.duration = std::chrono::seconds(argc > 1 ? std::atoi(argv[1]) : 600);
  options.sampleEvery = std::chrono::seconds(argc > 2 ? std::atoi(argv[2]) : 10);
  options.warmUp = std::chrono::seconds(argc > 3 ? std::atoi(argv[3]) : 60);
  if (const char* log = std::getenv("FONEXA_SOAK_TRACE")) options.traceLog = log;
  if (options.duration.count() <= 0 || options.sampleEvery.count() <= 0 || options.warmUp.count() < 0) {
    std::fprintf(stderr, "usage: %s [SECONDS [SAMPLE_SECONDS [WARM_UP_SECONDS]]]\n", argv[0]);
    return 2;
  }
  std::printf("%8s %10s %10s %10s %8s\n", "time s", "RSS KiB", "anon KiB", "heap KiB", "threads");
  options.onSample = [](const Sample& s) {
    std::printf("%8.1f %10ld %10ld %10ld %8d\n", s.seconds, s.rssKiB, s.anonKiB, s.heapKiB, s.threads);
    std::fflush(stdout);
  };
  const Figures f = Run(options);
  if (!f.error.empty()) {
    std::fprintf(stderr, "soak: %s\n", f.error.c_str());
    return 1;
  }
  const Trend t = TrendOf(f.samples, f.warmUpIndex);
  std::printf("\ntraffic for %.0f s, warm-up sample at %.1f s\n", f.seconds, f.samples[f.warmUpIndex].seconds);
  std::printf("\ninjected:\n");
  for (const auto& [kind, n] : f.injected) std::printf("  %-32s %8llu\n", kind.c_str(), static_cast<unsigned long long>(n));
  std::printf("\nevents handled:\n");
  for (const auto& [kind, n] : f.events) std::printf("  %-32s %8llu\n", kind.c_str(), static_cast<unsigned long long>(n));
  std::printf("  %-32s %8llu\n", "(window messages, all kinds)", static_cast<unsigned long long>(f.windowMessages));
  std::printf("\noperations (failed):\n");
  for (const auto& [op, n] : f.operations) {
    const auto failed = f.failures.count(op) ? f.failures.at(op) : 0;
    std::printf("  %-32s %8llu (%llu)\n", op.c_str(), static_cast<unsigned long long>(n),
                static_cast<unsigned long long>(failed));
  }
  std::printf("\nmessage parts injected %llu, seen %llu, missing %zu\n",
              static_cast<unsigned long long>(f.partsInjected), static_cast<unsigned long long>(f.partsSeen),
              f.missing.size());
  for (const auto& tag : f.missing) std::printf("  missing %s\n", tag.c_str());
  std::printf("\nRSS KiB: warm-up %ld, end %ld, peak %ld; slope %.1f KiB/min (least squares, %zu samples)\n",
              t.rssWarmUp, t.rssEnd, t.rssPeak, t.slopeKiBPerMinute, f.samples.size() - f.warmUpIndex);
  std::printf("heap in use KiB: warm-up %ld, end %ld; slope %.1f KiB/min\n", t.heapWarmUp, t.heapEnd,
              t.heapSlopeKiBPerMinute);
  std::printf("threads: warm-up %d, end %d, peak %d\n", t.threadsWarmUp, t.threadsEnd, t.threadsPeak);
  return f.missing.empty() && t.threadsEnd == t.threadsWarmUp ? 0 : 1;
}
