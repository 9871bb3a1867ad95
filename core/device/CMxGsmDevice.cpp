#include "fonexa/CMxGsmDevice.h"

#include "fonexa/IMxGsmHandler.h"

namespace {

// Phone-book storages of GSM 07.07, by number.
const char* const kStorageNames[] = {"SM", "FD", "LD", "MC", "RC", "ON", "ME"};

struct StorageAlias {
  const char* name;
  int number;
};

// Names phones report in their storage lists for the same storages: dialled
// calls, own numbers, terminal memory.
const StorageAlias kStorageAliases[] = {{"DC", 2}, {"OW", 5}, {"TA", 6}, {"MD", 2}, {"MT", 6}};

}  // namespace

IMxGsmHandler::~IMxGsmHandler() = default;

CMxGsmDevice::~CMxGsmDevice() = default;
int CMxGsmDevice::Release() { return 1; }
int CMxGsmDevice::OpenPort() { return 0; }
int CMxGsmDevice::ClosePort() { return 1; }
CMxComPort* CMxGsmDevice::GetComPort() { return nullptr; }
int CMxGsmDevice::SwitchOn() { return 1; }
int CMxGsmDevice::SwitchOff() { return 1; }
int CMxGsmDevice::GetSwitchState() { return 1; }
int CMxGsmDevice::SetupGsmAudio() { return 1; }
int CMxGsmDevice::VoiceOn() { return 1; }
int CMxGsmDevice::VoiceOff() { return 1; }
void CMxGsmDevice::Initialize() {}
int CMxGsmDevice::SetupSms() { return 1; }
void CMxGsmDevice::HandleReceivedSms(int) {}
int CMxGsmDevice::GetSimId(char*) { return 0; }
int CMxGsmDevice::GetLastCallDuration(char*) { return 0; }
int CMxGsmDevice::GetTotalCallDuration(char*) { return 0; }
int CMxGsmDevice::GetPinCounter() { return -1; }

int CMxGsmDevice::GetSimPresence(int& present) {
  present = 1;
  return 1;
}

int CMxGsmDevice::GetPBStorageIdentifier(const std::string& id) {
  for (int number = 0; number < 7; ++number) {
    if (id == kStorageNames[number]) return number;
  }
  for (const auto& alias : kStorageAliases) {
    if (id == alias.name) return alias.number;
  }
  return -1;
}

std::string CMxGsmDevice::GetPBStorageIdentifier(int number) {
  if (number < 0 || number > 6) return {};
  return kStorageNames[number];
}
