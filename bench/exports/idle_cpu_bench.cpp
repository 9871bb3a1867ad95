// CPU time of an idle, initialised instance with its background monitor and
// event thread running and nobody registered, over a minute (or the seconds
// given as the first argument). Prints the share of one core.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fonexa/FonexaCore.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double WallSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  // The modem stops at the end of its control input: it gets a pipe that stays
  // open for the whole run.
  int out[2], control[2];
  if (pipe(out) != 0 || pipe(control) != 0) return 1;
  const pid_t modem = fork();
  if (modem == 0) {
    dup2(out[1], 1);
    dup2(control[0], 0);
    close(out[0]);
    close(control[1]);
    execl(MODEMSIM, MODEMSIM, "--quiet", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  close(control[0]);
  FILE* modemOut = fdopen(out[0], "r");
  char device[256] = {};
  if (!modemOut || !std::fgets(device, sizeof device, modemOut)) return 1;
  device[std::string(device).find_last_not_of("\r\n") + 1] = '\0';

  if (const char* log = std::getenv("FONEXA_BENCH_TRACE")) OpenDebugLog(log);
  MxGsmHandle h = CreateGsmInstance();
  if (!Initialize(h, (std::string("GenericPhone@") + device).c_str()) || !GetState(h, 4)) {
    std::fprintf(stderr, "the instance did not become ready\n");
    return 1;
  }
  const double cpu0 = CpuSeconds();
  const double wall0 = WallSeconds();
  sleep(static_cast<unsigned>(seconds));
  const double cpu = CpuSeconds() - cpu0;
  const double wall = WallSeconds() - wall0;
  ReleaseGsm(h);
  kill(modem, SIGTERM);
  waitpid(modem, nullptr, 0);
  std::printf("idle instance: %.3f s CPU over %.1f s = %.3f%% of one core\n", cpu, wall, 100.0 * cpu / wall);
  return 0;
}
