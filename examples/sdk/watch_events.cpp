// Prints the phone's events as they arrive, until interrupted (Ctrl-C or
// SIGTERM): signal quality, registration, new messages, rings and callers,
// call changes, module state. One std::function serves every identifier.
//   sdk-watch-events DEVICE
#include <signal.h>

#include <cstdio>
#include <string>

#include "fonexa/Fonexa.h"

using namespace Mebrix::Fonexa;

namespace {

struct Watched {
  uint32_t id;
  const char* name;
};

constexpr Watched kWatched[] = {
    {FONEXA_EVENT_RING, "ring"},
    {FONEXA_EVENT_CALLER_ID, "caller"},
    {FONEXA_EVENT_SIGNAL, "signal"},
    {FONEXA_EVENT_NEW_MESSAGE, "message"},
    {FONEXA_EVENT_REGISTRATION, "registration"},
    {FONEXA_EVENT_CALL_LIST, "call"},
    {FONEXA_EVENT_MODULE_STATE, "module state"},
};

const char* NameOf(uint32_t id) {
  for (const Watched& w : kWatched) {
    if (w.id == id) return w.name;
  }
  return "event";
}

void Print(uint32_t id, const std::string& text, uint32_t value) {
  if (id == FONEXA_EVENT_NEW_MESSAGE) {
    const Events::SmsEvent message(text.c_str(), value);
    std::printf("%s: from %s: %s\n", NameOf(id), message.GetSender(), message.GetText());
  } else {
    std::printf("%s: value %u%s%s\n", NameOf(id), value, text.empty() ? "" : ", ", text.c_str());
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DEVICE\n", argv[0]);
    return 2;
  }
  // The signals wait for sigwait below instead of ending the program, so it
  // can release the phone in order. Threads made from here on inherit the mask.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);

  if (!Module::Initialize((std::string("GenericPhone@") + argv[1]).c_str())) {
    std::printf("the phone did not come up\n");
    Module::Uninitialize();
    return 1;
  }
  for (const Watched& w : kWatched) Events::Register(w.id, Print);
  std::printf("watching; interrupt to stop\n");
  std::fflush(stdout);

  int signal = 0;
  sigwait(&stop, &signal);
  std::printf("stopping\n");
  Module::Uninitialize();
  return 0;
}
