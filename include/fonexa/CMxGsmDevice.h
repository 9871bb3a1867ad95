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
  /// The profile is the plug-in's static object; the session never deletes it.
  virtual ~CMxGsmDevice();

  /// Binds the profile to its session and the port specification ("port@rate"), opening nothing yet: 1, or 0 to refuse.
  virtual int Create(CMxGsmBasics* session, const std::string& portSpecification) = 0;
  /// Lets go of the port when the session unloads the plug-in. Default: 1.
  virtual int Release();
  /// Opens the serial line the port text names: 1 open, 0 not. Default: 0.
  virtual int OpenPort();
  /// Closes the serial line. Default: 1.
  virtual int ClosePort();
  /// The serial channel, the session's only way to the line; null before Create. Default: null.
  virtual CMxComPort* GetComPort();
  /// Powers the module on, where the maker offers a way. Default: 1 (always on).
  virtual int SwitchOn();
  /// Powers the module off. Default: 1.
  virtual int SwitchOff();
  /// 1 when the module is powered. Default: 1.
  virtual int GetSwitchState();
  /// Sets up the audio path for calls. Default: 1.
  virtual int SetupGsmAudio();
  /// Switches the call audio on. Default: 1.
  virtual int VoiceOn();
  /// Switches the call audio off. Default: 1.
  virtual int VoiceOff();
  /// Runs once the port is open and the modem prepared: the maker's own start-up queries. Default: nothing.
  virtual void Initialize();
  /// Routes new-message indications as this maker's phones need (its "AT+CNMI=" command) when the SIM is ready. Default: 1.
  virtual int SetupSms();
  /// Called after the background monitor reported the unread message at index. Default: nothing.
  virtual void HandleReceivedSms(int index);
  /// The SIM's identity into out (FONEXA_SIM_ID_SIZE), for makers with their own command. Default: 0.
  virtual int GetSimId(char* out);
  /// The last call's duration into out (FONEXA_CALL_DURATION_SIZE). Default: 0.
  virtual int GetLastCallDuration(char* out);
  /// All calls' duration into out (FONEXA_CALL_DURATION_SIZE). Default: 0.
  virtual int GetTotalCallDuration(char* out);
  /// Attempts left for the code the SIM waits for; -1 when not known. Default: -1.
  virtual int GetPinCounter();
  /// Whether a SIM is in the phone: present 1 or 0; returns 1 when it could tell.
  /// Default: present 1.
  virtual int GetSimPresence(int& present);
  /// Phone-book storage name to number: "SM" 0 ... "ME" 6 and the alternative
  /// names phones report ("DC", "OW", "TA", "MD", "MT"); -1 for any other text.
  virtual int GetPBStorageIdentifier(const std::string& id);
  /// Phone-book storage number to name; empty for a number outside 0..6.
  virtual std::string GetPBStorageIdentifier(int number);
};

/// The one export of a device plug-in.
extern "C" typedef CMxGsmDevice* (*GetGsmDeviceFunc)();
