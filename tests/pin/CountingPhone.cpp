// A phone whose plug-in knows how many PIN attempts are left: the generic
// profile with a counter of 3, for the prompts that show it.
#include "fonexa/MxPortProfile.h"

namespace {

class CountingPhonePort : public MxPluginPort {};

class CountingPhoneDevice : public MxPortProfile<CountingPhonePort> {
 public:
  int GetPinCounter() override { return 3; }

 protected:
  std::string SmsIndicationCommand() const override { return "AT+CNMI=1,2\r"; }
};

CountingPhoneDevice g_device;

}  // namespace

FONEXA_PLUGIN_EXPORT CMxGsmDevice* GetGsmDevice() { return &g_device; }
