/// @file
/// CMxGsmBasics: the modem session.
///
/// One per attached phone. It loads the device plug-in named by the caller,
/// borrows the profile object the plug-in hands out and through it the serial
/// channel, opens and prepares the modem, offers the command and answer
/// primitives every service uses (with unsolicited result codes filtered out of
/// the answers and dispatched as events), and holds the system-wide lock that
/// serialises all traffic to the device across threads and processes.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "fonexa/CMxGsmDevice.h"
#include "fonexa/FonexaApi.h"
#include "fonexa/FonexaCore.h"
#include "fonexa/IMxGsmHandler.h"

namespace fonexa::platform {
class NamedMutex;
class WorkerThread;
}  // namespace fonexa::platform

// One event registration: a handler object or a window, for one identifier.
struct MxEventRegistration {
  uint32_t eventId;
  uint32_t key;  // tick count at registration; what unregisters it
  IMxGsmHandler* handler;
  MxWindow window;
};

/// The modem session: one per attached phone.
class FONEXA_API CMxGsmBasics {
 public:
  // Event identifiers.
  static constexpr uint32_t kEventRing = 0x1;
  static constexpr uint32_t kEventCallingRing = 0x2;
  static constexpr uint32_t kEventCallerId = 0x4;
  static constexpr uint32_t kEventStatusReport = 0x8;
  static constexpr uint32_t kEventStartUp = 0x10;
  static constexpr uint32_t kEventAlarmStartUp = 0x20;
  static constexpr uint32_t kEventAlarm = 0x40;
  static constexpr uint32_t kEventSignal = 0x80;
  static constexpr uint32_t kEventNewMessage = 0x100;
  static constexpr uint32_t kEventRegistration = 0x200;
  static constexpr uint32_t kEventDialEnd = 0x400;
  static constexpr uint32_t kEventCallList = 0x800;
  static constexpr uint32_t kEventModuleState = 0x1000;
  static constexpr uint32_t kEventTrouble = 0x2000;
  static constexpr uint32_t kEventRaw = 0x80000000u;
  // The window message events are sent with.
  static constexpr uint32_t kEventMessage = 1297;

  CMxGsmBasics();
  virtual ~CMxGsmBasics();
  CMxGsmBasics(const CMxGsmBasics&) = delete;
  CMxGsmBasics& operator=(const CMxGsmBasics&) = delete;

  // Life cycle.
  int Create(const std::string& deviceSpecification);
  int LoadDevice(const std::string& libraryName);
  int Open();
  int Initialize();
  int Close();
  int TotalClose();
  int Clear();
  void TotalClear(uint32_t stopMs);
  int IsOpened();
  int FlushComBuffers();
  int Attach(const std::string& ownerName, uint32_t timeoutMs);
  int Detach();
  int Error();

  // The command exchange.
  std::string WriteCommandString(const std::string& command, uint32_t timeoutMs);
  int WriteCommandStringAndWaitForResponse(const std::string& command, const std::string& expected, int timeoutMs);
  std::string ReadAnswerString(int timeoutMs, int raw);
  std::string ReadAnswerLineString(int timeoutMs);
  int IsOk(const std::string& text);
  int IsError(const std::string& text);
  int IsSupported(const std::string& command);
  int SendTestCommand();
  int SwitchModulePower(int on);
  int IsModulePowerOn(int which);

  // Unsolicited codes and events.
  unsigned int RingEventProcessed();
  void SetRingEventProcessed();
  uint32_t _TestForRingCode(const std::string& line);
  int _TranslateEvent(uint32_t eventId, const std::string& text, uint32_t value);
  uint32_t RegisterEvent(uint32_t eventId, IMxGsmHandler* handler);
  uint32_t RegisterEvent(uint32_t eventId, MxWindow window);
  int UnregisterEvent(uint32_t key);
  int IsHandledEvent(uint32_t eventId);
  // Whether this thread is inside a handler of one of this session's events
  // (an application may release its instance from there, and must not wait
  // for the very thread it runs on).
  bool IsDispatchingOnThisThread() const;

  // Module information and maintenance.
  int GetManufacturer(std::string& out);
  int GetModel(std::string& out);
  int GetProductSerialID(std::string& out);
  int QuerySmsParameters(std::string& out);
  int GetTime(std::string& out);
  int SetTime(const std::string& time);
  int RestoreFactorySettings();
  int RunDiagnostics(const std::string& filePath);
  int TestAtCommand(const std::string& command);
  std::string SendCustomAtCommand(const std::string& command);

  // The device profile, null before Create.
  CMxGsmDevice* GetDevice() const { return m_device; }
  // The acknowledgement of a directly delivered message still owed to the phone.
  int IsAcknowledgePending() const { return m_acknowledgePending; }

 private:
  int _EnableEcho(int on);
  int _EnableErrorReporting(int on);
  int _TestErrorCode(const std::string& text);
  CMxComPort* Port() const;
  uint32_t AddRegistration(uint32_t eventId, IMxGsmHandler* handler, MxWindow window);
  void UnloadDevice();
  void RunEventThread();
  int ReadIdentification(const char* command, const char* name, std::string& out);
  // Rows of the unsolicited-code table.
  uint32_t HandleRing(const std::string& line);
  uint32_t HandleCallerId(const std::string& line);
  uint32_t HandleCallingRing(const std::string& line);
  uint32_t HandleDeliveredMessage(const std::string& line);
  uint32_t HandleStoredMessage(const std::string& line);
  uint32_t HandleStatusReport(const std::string& line);
  uint32_t HandleAlarmStartUp(const std::string& line);
  uint32_t HandleStartUp(const std::string& line);
  uint32_t HandleAlarm(const std::string& line);
  uint32_t HandleNoCarrier(const std::string& line);
  uint32_t HandleRegistration(const std::string& line);

  std::atomic<int> m_openCount{0};
  fonexa::platform::NamedMutex* m_mutex = nullptr;
  unsigned int m_ringProcessed = 0;
  fonexa::platform::WorkerThread* m_eventThread = nullptr;
  int m_acknowledgePending = 0;
  void* m_deviceModule = nullptr;
  GetGsmDeviceFunc m_deviceFactory = nullptr;
  std::vector<MxEventRegistration*> m_registrations;
  CMxGsmDevice* m_device = nullptr;
  // Whether the line reader last handed out a blank line (see ReadAnswerLineString).
  bool m_lastLineBlank = false;
  int m_readDepth = 0;
  // Makes the first Attach of two threads create one named mutex, not two.
  std::mutex m_mutexCreation;
  // Guards the registration array against changes while events are dispatched.
  std::mutex m_registrationsLock;
  // Tells this session's event thread to end when the session closes for good.
  std::atomic<bool> m_eventThreadStop{false};
};
