// Prints every message in the phone's message storage, through the static
// facade's list operation.
//   sdk-print-inbox DEVICE
#include <cstdio>
#include <string>

#include "fonexa/Fonexa.h"

using namespace Mebrix::Fonexa;

namespace {

const char* StatusName(int status) {
  static const char* const kNames[] = {"unread", "read", "unsent", "sent"};
  return status >= 0 && status < 4 ? kNames[status] : "?";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DEVICE\n", argv[0]);
    return 2;
  }
  if (!Module::Initialize((std::string("GenericPhone@") + argv[1]).c_str())) {
    std::printf("the phone did not come up\n");
    Module::Uninitialize();
    return 1;
  }
  const int all = 4;
  const auto messages = Sms::ListMessages(all);
  if (!messages) {
    std::printf("the messages could not be listed\n");
    Module::Uninitialize();
    return 1;
  }
  std::printf("%zu message(s)\n", messages->size());
  for (const Sms::SmsEntry& message : *messages) {
    const SYSTEMTIME t = message.GetTime();
    std::printf("#%d %s from %s at %04u-%02u-%02u %02u:%02u:%02u\n  %s\n", message.GetIndex(),
                StatusName(message.GetState()), message.GetPhoneNumber(), t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond, message.GetMessageText());
  }
  Module::Uninitialize();
  return 0;
}
