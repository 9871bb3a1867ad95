// Prints the engine's version and a cleaned phone number, which need no
// phone; given a device, brings the phone up through the GenericPhone plug-in
// and prints its model.
//   phone-model [DEVICE]
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fonexa/Fonexa.h"
#include "fonexa/FonexaCore.h"

using namespace Mebrix::Fonexa;

int main(int argc, char** argv) {
  // The C interface and the SDK answer from the same engine.
  std::printf("core %s\n", GetFonexaCoreVersion());
  std::printf("sdk %s\n", Other::GetFonexaCoreVersion());

  const char* number = "+420 777-123 456";
  std::vector<char> clean(std::strlen(number) + 1);
  Other::CleanNumberFormat(number, clean.data());
  std::printf("number %s\n", clean.data());

  if (argc < 2) return 0;
  if (!Module::Initialize((std::string("GenericPhone@") + argv[1]).c_str())) {
    std::printf("the phone did not come up\n");
    Module::Uninitialize();
    return 1;
  }
  char model[FONEXA_IDENTITY_SIZE] = {};
  const int ok = Module::GetModel(model);
  std::printf("model %s\n", ok ? model : "?");
  Module::Uninitialize();
  return ok ? 0 : 1;
}
