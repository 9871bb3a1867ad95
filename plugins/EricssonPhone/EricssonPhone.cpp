// Ericsson phones: the message routing depends on the model, dialled calls are
// in "DC", and the own-numbers storage has no name these phones accept.
#include "fonexa/MxPortProfile.h"

namespace {

class EricssonPhonePort : public MxPluginPort {};

class EricssonPhoneDevice : public MxPortProfile<EricssonPhonePort> {
 public:
  using CMxGsmDevice::GetPBStorageIdentifier;

  std::string GetPBStorageIdentifier(int number) override {
    if (number == 2) return "DC";
    if (number == 5) return {};
    return CMxGsmDevice::GetPBStorageIdentifier(number);
  }

 protected:
  // The models of the 1130202 family take class-3 messages to the terminal in
  // mode 2; the 1130602 revision and all other models need mode 3.
  std::string SmsIndicationCommand() const override {
    const bool family = m_model.rfind("1130202", 0) == 0 && m_model.find("1130602") == std::string::npos;
    return family ? "AT+CNMI=2,3\r" : "AT+CNMI=3,3\r";
  }
  void KeepModel(const std::string& model) override { m_model = WithoutLineEnds(model); }

 private:
  std::string m_model;
};

EricssonPhoneDevice g_device;

}  // namespace

FONEXA_PLUGIN_EXPORT CMxGsmDevice* GetGsmDevice() { return &g_device; }
