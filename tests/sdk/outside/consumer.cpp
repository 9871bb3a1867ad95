// An application built outside the tree: only the public headers and
// libFonexa.so. It uses both facades without a phone.
#include <cstdio>
#include <cstring>
#include <string>

#include "fonexa/Fonexa.h"

using namespace Mebrix::Fonexa;

namespace {

class Handler : public Dynamic::Events::EventHandler {
 public:
  int OnEvent(uint32_t, std::string, uint32_t) override { return 0; }
};

class StaticHandler : public Events::EventHandler {
 public:
  int OnEvent(uint32_t, const char*, uint32_t) override { return 0; }
};

int failures = 0;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::printf("FAILED: %s\n", what);
    ++failures;
  }
}

}  // namespace

int main() {
  Check(std::strcmp(Other::GetFonexaCoreVersion(), "1.3.040726") == 0, "core version");
  Check(Dynamic::Gsm::GetFonexaCoreVersion() == "1.3.040726", "core version from Gsm");
  Check(Module::GetState(0) == 0, "no instance yet");
  Check(Dynamic::Module(nullptr).SwitchOn() == 0, "null module");
  StaticHandler staticHandler;
  const uint32_t cookie = Events::Register(0x100, &staticHandler);
  Check(Events::Unregister(cookie) == 0, "unregister without an engine registration");
  Handler handler;
  Check(Dynamic::Events(nullptr).Register(0x100, &handler) == 0, "null events");
  const Events::SmsEvent message("+420606111222#Hi", 0);
  Check(std::strcmp(message.GetText(), "Hi") == 0, "message text");
  Check(Events::CallEvent("1", 0x30201).GetExtendedEvent() == 3, "call event");
  Check(!Sms::ListMessages(4).has_value(), "list without an instance");
  std::printf(failures ? "outside program: %d failure(s)\n" : "outside program: ok\n", failures);
  return failures ? 1 : 0;
}
