// reliability-line-worker: one of several processes that share one modem.
//
//   reliability-line-worker DEVICE WORKER COUNT GO_FILE
//   reliability-line-worker DEVICE WORKER hold GO_FILE
//
// Starts an instance on DEVICE through the GenericPhone plug-in, waits until
// GO_FILE exists (so that every worker has opened the port before any starts
// talking), then sends COUNT commands, each naming the worker and its number
// ("AT+CSCA="+4200WWNNNNN""), and counts the answers that end in OK. Prints
// "worker W: N of COUNT answered" and exits 0 when every command was answered.
// With "hold" it takes the device lock at once, prints "worker W: holding"
// and keeps it until it is killed.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fonexa/FonexaCore.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s DEVICE WORKER COUNT GO_FILE\n", argv[0]);
    return 2;
  }
  const std::string device = argv[1];
  const int worker = std::atoi(argv[2]);
  const bool hold = std::string(argv[3]) == "hold";
  const int count = hold ? 0 : std::atoi(argv[3]);
  const std::string go = argv[4];

  MxGsmHandle h = CreateGsmInstance();
  if (Initialize(h, ("GenericPhone@" + device).c_str()) != 1) {
    std::fprintf(stderr, "worker %d: Initialize failed\n", worker);
    return 1;
  }
  std::printf("worker %d: ready\n", worker);
  std::fflush(stdout);
  if (hold) {
    if (Attach(h, "reliability-line-worker", 10000) != 1) return 1;
    std::printf("worker %d: holding\n", worker);
    std::fflush(stdout);
    for (;;) pause();
  }
  struct stat info{};
  for (int waited = 0; stat(go.c_str(), &info) != 0; waited += 10) {
    if (waited > 120000) return 1;
    usleep(10000);
  }
  int answered = 0;
  for (int i = 0; i < count; ++i) {
    char command[64];
    std::snprintf(command, sizeof command, "AT+CSCA=\"+4200%02d%05d\"\r", worker, i);
    char response[FONEXA_CUSTOM_RESPONSE_SIZE] = {};
    if (SendCustomAtCommandEx(h, command, response, sizeof response) == 1 &&
        std::string(response).find("OK") != std::string::npos) {
      ++answered;
    } else {
      std::fprintf(stderr, "worker %d: command %d answered [%s]\n", worker, i, response);
    }
  }
  ReleaseGsm(h);
  std::printf("worker %d: %d of %d answered\n", worker, answered, count);
  return answered == count ? 0 : 1;
}
