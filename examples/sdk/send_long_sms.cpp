// Sends a text longer than one SMS through the static facade: the engine
// splits it into concatenated parts that the receiving phone joins again.
//   sdk-send-long-sms DEVICE NUMBER [TEXT]
#include <cstdio>
#include <string>

#include "fonexa/Fonexa.h"

using namespace Mebrix::Fonexa;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s DEVICE NUMBER [TEXT]\n", argv[0]);
    return 2;
  }
  const std::string device = argv[1];
  const char* number = argv[2];
  std::string text = argc > 3 ? argv[3] : "";
  if (text.empty()) {
    for (int part = 1; text.size() < 300; ++part) {
      text += "Part of a long message, sentence " + std::to_string(part) + ". ";
    }
  }

  if (!Module::Initialize(("GenericPhone@" + device).c_str())) {
    std::printf("the phone did not come up\n");
    Module::Uninitialize();
    return 1;
  }
  std::printf("sending %zu characters to %s\n", text.size(), number);
  const int sent = Sms::SendMessage(number, text.c_str());
  std::printf(sent ? "sent\n" : "not sent\n");
  Module::Uninitialize();
  return sent ? 0 : 1;
}
