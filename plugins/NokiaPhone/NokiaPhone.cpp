// Nokia phones: class-3 messages to the terminal, dialled calls in "DC".
#include "fonexa/MxPortProfile.h"

namespace {

class NokiaPhonePort : public MxPluginPort {};

class NokiaPhoneDevice : public MxPortProfile<NokiaPhonePort> {
 public:
  using CMxGsmDevice::GetPBStorageIdentifier;

  std::string GetPBStorageIdentifier(int number) override {
    if (number == 2) return "DC";
    return CMxGsmDevice::GetPBStorageIdentifier(number);
  }

 protected:
  std::string SmsIndicationCommand() const override { return "AT+CNMI=2,3\r"; }
  // Kept like the Ericsson profile does, for model-specific behaviour.
  void KeepModel(const std::string& model) override { m_model = WithoutLineEnds(model); }

 private:
  std::string m_model;
};

NokiaPhoneDevice g_device;

}  // namespace

FONEXA_PLUGIN_EXPORT CMxGsmDevice* GetGsmDevice() { return &g_device; }
