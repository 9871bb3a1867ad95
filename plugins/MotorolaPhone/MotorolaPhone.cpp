// Motorola phones: their own message routing, dialled calls in "DC", and the
// SIM found present by asking its PIN state.
#include "fonexa/MxPortProfile.h"

namespace {

class MotorolaPhonePort : public MxPluginPort {};

class MotorolaPhoneDevice : public MxPortProfile<MotorolaPhonePort> {
 public:
  using CMxGsmDevice::GetPBStorageIdentifier;

  // A phone without a SIM answers the PIN query with an error.
  int GetSimPresence(int& present) override {
    if (!m_session || !m_session->IsOpened()) return 0;
    m_session->WriteCommandString("AT+CPIN?\r", 3000);
    std::string line = m_session->ReadAnswerLineString(3000);
    if (line == "\r\n") line = m_session->ReadAnswerLineString(3000);
    if (line.find("ERROR") == std::string::npos) {
      present = 1;
      m_session->ReadAnswerString(3000, 0);
    } else {
      present = 0;
    }
    return 1;
  }

  std::string GetPBStorageIdentifier(int number) override {
    if (number == 2) return "DC";
    return CMxGsmDevice::GetPBStorageIdentifier(number);
  }

 protected:
  std::string SmsIndicationCommand() const override { return "AT+CNMI=3,2\r"; }
};

MotorolaPhoneDevice g_device;

}  // namespace

FONEXA_PLUGIN_EXPORT CMxGsmDevice* GetGsmDevice() { return &g_device; }
