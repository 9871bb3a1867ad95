// Places a voice call through the per-instance facade and prints the call
// events until the call has ended: the dial's outcome (0x400) and every change
// in the current calls (0x800). The call is hung up after SECONDS (default 2)
// unless the other side ends it first.
//   sdk-place-call DEVICE NUMBER [SECONDS]
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "fonexa/Fonexa.h"

using namespace Mebrix::Fonexa;

namespace {

const char* ExtendedEventName(int event) {
  switch (event) {
    case 1: return "call appeared";
    case 2: return "call ended";
    case 3: return "state changed";
    default: return "?";
  }
}

const char* DialOutcomeName(int32_t outcome) {
  switch (outcome) {
    case 0: return "connected";
    case 1: return "busy";
    case 2: return "no dial tone";
    case 3: return "no carrier";
    default: return "failed";
  }
}

// Events arrive on the engine's threads; main waits for the call to end.
class CallPrinter : public Dynamic::Events::EventHandler {
 public:
  int OnEvent(uint32_t id, std::string text, uint32_t value) override {
    std::lock_guard<std::mutex> guard(lock_);
    if (id == FONEXA_EVENT_DIAL_END) {
      std::printf("dial ended: %s (%s)\n", DialOutcomeName(static_cast<int32_t>(value)), text.c_str());
      dialEnded_ = true;
      connected_ = value == 0;
    } else if (id == FONEXA_EVENT_CALL_LIST) {
      const Dynamic::Events::CallEvent call(text, value);
      std::printf("call event: %s, number %s, state %d -> %d\n", ExtendedEventName(call.GetExtendedEvent()),
                  call.GetNumber().c_str(), call.GetOldState(), call.GetNewState());
      if (call.GetExtendedEvent() == 2) callEnded_ = true;
    }
    std::fflush(stdout);
    changed_.notify_all();
    return 0;
  }

  // Waits until the dial has ended; true when it connected.
  bool WaitForDial(std::chrono::seconds limit) {
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait_for(guard, limit, [this] { return dialEnded_; });
    return connected_;
  }
  bool WaitForCallEnd(std::chrono::seconds limit) {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, limit, [this] { return callEnded_; });
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool dialEnded_ = false;
  bool connected_ = false;
  bool callEnded_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s DEVICE NUMBER [SECONDS]\n", argv[0]);
    return 2;
  }
  const std::string number = argv[2];
  const int seconds = argc > 3 ? std::atoi(argv[3]) : 2;

  Dynamic::Gsm gsm;
  if (!Dynamic::Module(&gsm).Initialize(std::string("GenericPhone@") + argv[1])) {
    std::printf("the phone did not come up\n");
    return 1;
  }
  CallPrinter printer;
  Dynamic::Events events(&gsm);
  const uint32_t dialRegistration = events.Register(FONEXA_EVENT_DIAL_END, &printer);
  const uint32_t callRegistration = events.Register(FONEXA_EVENT_CALL_LIST, &printer);

  Dynamic::Call call(&gsm);
  std::printf("dialling %s\n", number.c_str());
  std::fflush(stdout);
  if (!call.Dial(number)) {
    std::printf("the dial was refused\n");
    return 1;
  }
  int result = 1;
  if (printer.WaitForDial(std::chrono::seconds(90))) {
    if (!printer.WaitForCallEnd(std::chrono::seconds(seconds))) {
      std::printf("hanging up\n");
      std::fflush(stdout);
      call.Hangup();
    }
    result = printer.WaitForCallEnd(std::chrono::seconds(15)) ? 0 : 1;
  }
  // The handler is about to go: no events for it after this.
  events.Unregister(callRegistration);
  events.Unregister(dialRegistration);
  return result;
}
