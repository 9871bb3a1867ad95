// Phones without a plug-in of their own.
#include "fonexa/MxPortProfile.h"

namespace {

class GenericPhonePort : public MxPluginPort {};

class GenericPhoneDevice : public MxPortProfile<GenericPhonePort> {
 protected:
  // Stored-message notices (+CMTI), routed to the terminal.
  std::string SmsIndicationCommand() const override { return "AT+CNMI=1,2\r"; }
};

GenericPhoneDevice g_device;

}  // namespace

FONEXA_PLUGIN_EXPORT CMxGsmDevice* GetGsmDevice() { return &g_device; }
