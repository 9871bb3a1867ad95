// reliability-line-worker: one of several processes that share one modem.
//
//   reliability-line-worker DEVICE WORKER COUNT GO_FILE
//   reliability-line-worker DEVICE WORKER hold GO_FILE
//
// Starts an instance on DEVICE through the GenericPhone plug-in, waits until
// GO_FILE exists (so that every worker has opened the port before any starts
// talking), then sends COUNT commands, each naming the worker and its number
// ("AT+CSCA="+4200WWNNNNN""), and counts the answers that end in OK. Prints
// "worker W: N of COUNT answered", waits until GO_FILE.end exists (the
// virtual modem drops what is on the line whenever a client closes the
// device, so nobody leaves while another talks), and exits 0 when every
// command was answered.
//
// With "hold" it takes the device lock, the named mutex every instance's
// traffic goes through, without opening the device, prints "worker W:
// holding" and keeps it until it is killed.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fonexa/FonexaCore.h"
#include "platform/NamedMutex.h"

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

  if (hold) {
    fonexa::platform::NamedMutex lock;
    if (!lock.Create("GSM") || lock.Wait(10000) != fonexa::platform::NamedMutex::WaitResult::Acquired) return 1;
    std::printf("worker %d: holding\n", worker);
    std::fflush(stdout);
    for (;;) pause();
  }
  MxGsmHandle h = CreateGsmInstance();
  if (Initialize(h, ("GenericPhone@" + device).c_str()) != 1) {
    std::fprintf(stderr, "worker %d: Initialize failed\n", worker);
    return 1;
  }
  std::printf("worker %d: ready\n", worker);
  std::fflush(stdout);
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
  std::printf("worker %d: %d of %d answered\n", worker, answered, count);
  std::fflush(stdout);
  const std::string end = go + ".end";
  for (int waited = 0; stat(end.c_str(), &info) != 0 && waited < 600000; waited += 10) usleep(10000);
  ReleaseGsm(h);
  return answered == count ? 0 : 1;
}
