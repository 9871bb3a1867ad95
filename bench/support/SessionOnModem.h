// A modem session on an in-process virtual modem through the GenericPhone
// plug-in of the build tree, as the benchmarks of the session and of the
// exports use it.
#pragma once

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <string>

#include "fonexa/CMxGsmBasics.h"
#include "sim/VirtualModem.h"

namespace fonexa::bench {

struct SessionOnModem {
  sim::VirtualModem modem;
  CMxGsmBasics session;

  std::string Specification() const { return "GenericPhone@" + modem.devicePath() + "@115200"; }
  // Starts the modem and, unless sessionToo is false, the session on it.
  bool Start(bool sessionToo = true) {
    if (!modem.start()) return false;
    return !sessionToo || (session.Create(Specification()) && session.Initialize());
  }
};

// main() of these benchmarks: plug-ins from the build tree, a lock namespace
// of their own.
inline int RunBenchmarks(int argc, char** argv, const char* pluginDir) {
  setenv("FONEXA_PLUGIN_PATH", pluginDir, 0);
  setenv("FONEXA_MUTEX_NAMESPACE", "bench", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace fonexa::bench
