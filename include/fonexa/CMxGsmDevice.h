/// @file
/// CMxGsmDevice: the device profile, the part of the dialogue that differs
/// between phone makers.
///
/// Each device plug-in derives one profile class from it, keeps one static
/// object of that class and hands it out through its export GetGsmDevice. The
/// session reaches the serial line only through the profile's GetComPort. The
/// virtual operations keep this order: the plug-ins' tables depend on it.
#pragma once

#include <string>

#include "fonexa/FonexaApi.h"

class CMxComPort;
class CMxGsmBasics;

/// The device profile a plug-in hands out through GetGsmDevice.
class FONEXA_API CMxGsmDevice {
 public:
  virtual ~CMxGsmDevice();

  virtual int Create(CMxGsmBasics* session, const std::string& portSpecification) = 0;
  virtual int Release();
  virtual int OpenPort();
  virtual int ClosePort();
  virtual CMxComPort* GetComPort();
  virtual int SwitchOn();
  virtual int SwitchOff();
  virtual int GetSwitchState();
  virtual int SetupGsmAudio();
  virtual int VoiceOn();
  virtual int VoiceOff();
  virtual void Initialize();
  virtual int SetupSms();
  virtual void HandleReceivedSms(int index);
  virtual int GetSimId(char* out);
  virtual int GetLastCallDuration(char* out);
  virtual int GetTotalCallDuration(char* out);
  virtual int GetPinCounter();
  virtual int GetSimPresence(int& present);
  // Phone-book storage name to number: "SM" 0 ... "ME" 6 and the alternative
  // names phones report ("DC", "OW", "TA", "MD", "MT"); -1 for any other text.
  virtual int GetPBStorageIdentifier(const std::string& id);
  // Phone-book storage number to name; empty for a number outside 0..6.
  virtual std::string GetPBStorageIdentifier(int number);
};

// The one export of a device plug-in.
extern "C" typedef CMxGsmDevice* (*GetGsmDeviceFunc)();
