// The modem session: plug-in loading, open and close, the lock, and the
// command and answer primitives.
#include "fonexa/CMxGsmBasics.h"

#include <cstdio>

#include "session/StopEvent.h"
#include "fonexa/CMxComPort.h"
#include "platform/LocalTime.h"
#include "platform/NamedMutex.h"
#include "platform/SharedLibrary.h"
#include "platform/Tick.h"
#include "platform/WorkerThread.h"
#include "session/ServiceDialogue.h"
#include "text/DebugLog.h"

using fonexa::TraceLog;
using fonexa::platform::NamedMutex;
using fonexa::platform::SharedLibrary;

namespace {

constexpr uint32_t kStandardTimeoutMs = 3000;
constexpr const char* kMutexName = "GSM";

}  // namespace

CMxGsmBasics::CMxGsmBasics() = default;

CMxGsmBasics::~CMxGsmBasics() {
  TotalClose();
  Detach();
  if (m_mutex) {
    m_mutex->Close();
    delete m_mutex;
    m_mutex = nullptr;
  }
  UnloadDevice();
  std::lock_guard<std::mutex> lock(m_registrationsLock);
  for (MxEventRegistration* registration : m_registrations) delete registration;
  m_registrations.clear();
}

CMxComPort* CMxGsmBasics::Port() const { return m_device ? m_device->GetComPort() : nullptr; }

void CMxGsmBasics::UnloadDevice() {
  if (m_device) m_device->Release();
  m_device = nullptr;
  if (m_deviceModule) SharedLibrary::Unload(m_deviceModule);
  m_deviceModule = nullptr;
  m_deviceFactory = nullptr;
}

int CMxGsmBasics::Create(const std::string& deviceSpecification) {
  TraceLog().Write("\r\n-->CMxGsmBasics::Create[%s]\r\n", deviceSpecification.c_str());
  std::string library;
  std::string portSpecification;
  const auto at = deviceSpecification.find('@');
  if (at != std::string::npos) {
    library = deviceSpecification.substr(0, at) + ".dll";
    portSpecification = deviceSpecification.substr(at + 1);
  } else {
    library = deviceSpecification + ".dll";
  }
  if (!LoadDevice(library)) return 0;
  if (m_device->Create(this, portSpecification)) {
    TraceLog().Write("<--CMxGsmBasics::Create>>OK\r\n");
    return 1;
  }
  UnloadDevice();
  TraceLog().Write("<--CMxGsmBasics::Create>>ERROR:Couldn't create device.");
  return 0;
}

int CMxGsmBasics::LoadDevice(const std::string& libraryName) {
  TraceLog().Write("\r\n-->CMxGsmBasics::LoadDevice[%s]\r\n", libraryName.c_str());
  // A session loads one plug-in at a time: a second Create replaces the first,
  // after closing the port and ending the event thread that still uses it.
  if (m_device) TotalClose();
  UnloadDevice();
  void* module = SharedLibrary::Load(libraryName);
  if (!module) {
    TraceLog().Write("<--CMxGsmBasics::LoadDevice>>ERROR:Couldn't open device DLL.\r\n");
    return 0;
  }
  auto factory = reinterpret_cast<GetGsmDeviceFunc>(SharedLibrary::Symbol(module, "GetGsmDevice"));
  if (!factory) {
    SharedLibrary::Unload(module);
    TraceLog().Write("<--CMxGsmBasics::LoadDevice>>ERROR:Couldn't find method.");
    return 0;
  }
  CMxGsmDevice* device = factory();
  if (!device) {
    SharedLibrary::Unload(module);
    TraceLog().Write("<--CMxGsmBasics::LoadDevice>>ERROR:Couldn't get device.");
    return 0;
  }
  m_deviceModule = module;
  m_deviceFactory = factory;
  m_device = device;
  TraceLog().Write("<--CMxGsmBasics::LoadDevice>>OK\r\n");
  return 1;
}

int CMxGsmBasics::Open() {
  if (m_openCount > 0) {
    ++m_openCount;
    return 1;
  }
  TraceLog().Write("\r\n-->CMxGsmBasics::Open\r\n");
  if (!m_device) {
    TraceLog().Write("<--CMxGsmBasics::Open>>ERROR:No device instance.\r\n");
    return 0;
  }
  if (!m_device->OpenPort()) {
    TraceLog().Write("<--CMxGsmBasics::Open>>ERROR:Can't open the port.\r\n");
    return 0;
  }
  m_openCount = 1;
  return 1;
}

int CMxGsmBasics::Initialize() {
  TraceLog().Write("\r\n-->CMxGsmBasics::Initialize\r\n");
  if (!m_device) {
    TraceLog().Write("<--CMxGsmBasics::Initialize>>ERROR:Device not created.\r\n");
    return 0;
  }
  if (IsOpened()) {
    TraceLog().Write("<--CMxGsmBasics::Initialize>>OK:Already opened.\r\n");
    return 1;
  }
  if (!Open()) {
    TraceLog().Write("<--CMxGsmBasics::Initialize>>ERROR:Couldn't open.\r\n");
    return 0;
  }
  if (!_EnableEcho(0)) {
    TraceLog().Write("<--CMxGsmBasics::Initialize>>ERROR:Port not responding.\n");
    return 0;
  }
  _EnableErrorReporting(1);
  {
    std::lock_guard<std::mutex> lock(m_registrationsLock);
    if (!m_registrations.empty()) Port()->SetEventRing(1);
  }
  // A thread left from before a TotalClose has ended by now; start afresh.
  if (m_eventThread) {
    m_eventThread->WaitUntilFinished();
    delete m_eventThread;
  }
  m_eventThreadStop = false;
  m_eventThread = new fonexa::platform::WorkerThread;
  m_eventThread->Start([this] { RunEventThread(); });
  TraceLog().Write("<--CMxGsmBasics::Initialize>>OK.\n");
  return 1;
}

int CMxGsmBasics::Close() {
  if (m_openCount == 1) {
    Port()->SetEventRing(0);
    if (!m_device->ClosePort()) return 0;
    m_openCount = 0;
  } else if (m_openCount > 1) {
    --m_openCount;
  } else {
    m_openCount = 0;
  }
  return 1;
}

int CMxGsmBasics::TotalClose() {
  TraceLog().Write("\n-->CMxGsmBasics::TotalClose\n");
  m_openCount = 0;
  if (!m_device) {
    TraceLog().Write("<--CMxGsmBasics::TotalClose>>OK:No device\r\n");
    return 1;
  }
  if (CMxComPort* port = Port()) port->SetEventRing(0);
  TraceLog().Write("CMxGsmBasics::TotalClose>>Closing port\n");
  if (!m_device->ClosePort()) {
    TraceLog().Write("<--CMxGsmBasics::TotalClose>>ERROR: Can't close the port\n");
    return 0;
  }
  TraceLog().Write("CMxGsmBasics::TotalClose>>Deleting thread\r\n");
  // The event thread of a closed session has nothing left to watch: it is told
  // to end, so that switching the module off does not wait for a release.
  m_eventThreadStop = true;
  if (m_eventThread) {
    m_eventThread->WaitUntilFinished();
    delete m_eventThread;
    m_eventThread = nullptr;
  }
  TraceLog().Write("<--CMxGsmBasics::TotalClose>>OK\n");
  return 1;
}

int CMxGsmBasics::Clear() {
  if (!IsOpened()) return 0;
  if (WriteCommandString("ATZ\r", kStandardTimeoutMs).empty()) return 0;
  if (!IsOk(ReadAnswerString(kStandardTimeoutMs, 0))) return 0;
  // The reset restores the phone's stored profile, where echo is usually on and
  // error codes off; the session's dialogue needs them as Initialize set them,
  // or every later answer would be read with its echo in front.
  _EnableEcho(0);
  _EnableErrorReporting(1);
  return 1;
}

void CMxGsmBasics::TotalClear(uint32_t stopMs) {
  Clear();
  if (CMxComPort* port = Port()) port->EmulateStop(stopMs);
}

int CMxGsmBasics::IsOpened() { return m_device && m_openCount > 0 ? 1 : 0; }

int CMxGsmBasics::FlushComBuffers() {
  if (!IsOpened()) return 0;
  return Port()->PurgePort();
}

int CMxGsmBasics::Attach(const std::string& ownerName, uint32_t timeoutMs) {
  if (TraceLog().IsOpen()) {  // the clock is read only for the trace
    const auto now = fonexa::platform::LocalNow();
    TraceLog().Write("\n-->CMxGsmBasics::Attach[%s][%02u:%02u:%02u]\n", ownerName.c_str(), now.hour, now.minute,
                     now.second);
  }
  {
    std::lock_guard<std::mutex> creation(m_mutexCreation);
    if (!m_mutex) {
      auto* mutex = new NamedMutex;
      if (!mutex->Create(kMutexName)) {
        delete mutex;
        TraceLog().Write("<--CMxGsmBasics::Attach>>ERROR:Couldn't create mutex\n");
        return 0;
      }
      m_mutex = mutex;
    }
  }
  const NamedMutex::WaitResult result = m_mutex->Wait(timeoutMs);
  if (result != NamedMutex::WaitResult::Acquired && result != NamedMutex::WaitResult::Abandoned) {
    TraceLog().Write("<--CMxGsmBasics::Attach[%s]>>Mutex blocked by another thread\n", ownerName.c_str());
    return 0;
  }
  TraceLog().Write("<--CMxGsmBasics::Attach[%s]\n", ownerName.c_str());
  return 1;
}

int CMxGsmBasics::Detach() {
  TraceLog().Write("\r\nCMxGsmBasics::Detach\r\n");
  if (m_acknowledgePending) {
    TraceLog().Write("CMxGsmBasics::Detach>>SetMessageAcknowledge\r\n");
    fonexa::AcknowledgeDeliveredMessage(this, 0);
    m_acknowledgePending = 0;
  }
  if (!m_mutex) return 1;
  return m_mutex->Release() ? 1 : 0;
}

int CMxGsmBasics::Error() {
  if (!IsOpened()) return 0;
  Port()->PurgePort();
  return Clear();
}

std::string CMxGsmBasics::WriteCommandString(const std::string& command, uint32_t timeoutMs) {
  CMxComPort* port = Port();
  if (!port) return {};
  return port->WriteCommandString(command, timeoutMs);
}

std::string CMxGsmBasics::ReadAnswerString(int timeoutMs, int raw) {
  CMxComPort* port = Port();
  if (!port) return {};
  if (raw) return port->ReadAnswerString(timeoutMs);
  if (ReadAnswerLineString(timeoutMs) != "\r\n") return {};
  return ReadAnswerLineString(timeoutMs);
}

int CMxGsmBasics::IsOk(const std::string& text) {
  CMxComPort* port = Port();
  return port ? port->IsOk(text) : 0;
}

int CMxGsmBasics::IsError(const std::string& text) {
  CMxComPort* port = Port();
  return port ? port->IsError(text) : 0;
}

int CMxGsmBasics::WriteCommandStringAndWaitForResponse(const std::string& command, const std::string& /*expected*/,
                                                       int timeoutMs) {
  CMxComPort* port = Port();
  if (!port) return 0;
  const std::string echo = WriteCommandString(command, static_cast<uint32_t>(timeoutMs));
  TraceLog().Write("CMxGsmBasics::WriteCommandStringAndWaitForResponse>>Echo[%s]\r\n", echo.c_str());
  const std::string response = ReadAnswerLineString(timeoutMs);
  TraceLog().Write("CMxGsmBasics::WriteCommandStringAndWaitForResponse>>Response[%s].\r\n", response.c_str());
  if (response != "\r\n") {
    TraceLog().Write("<--CMxGsmBasics::WriteCommandStringAndWaitForResponse>>ERROR:Wrong Response.\r\n");
    return 0;
  }
  std::string collected = port->_ReadResponseString(1, static_cast<uint32_t>(timeoutMs));
  TraceLog().Write("CMxGsmBasics::WriteCommandStringAndWaitForResponse>>Reading[%s", collected.c_str());
  // Unsolicited codes may come before the prompt; anything else is a refusal.
  // They may take the prompt's time and no more.
  const uint32_t start = fonexa::platform::TickCount();
  while (collected != ">") {
    if (fonexa::platform::TickCount() - start > static_cast<uint32_t>(timeoutMs)) {
      TraceLog().Write("\r\n<--CMxGsmBasics::WriteCommandStringAndWaitForResponse>>ERROR:Wrong Response.\r\n");
      return 0;
    }
    if (collected == "\r") {
      // The blank line that opens the prompt after an unsolicited code (a
      // status report between two parts of a long message, say).
      const std::string next = port->_ReadResponseString(1, static_cast<uint32_t>(timeoutMs));
      if (next == "\n") {
        collected = port->_ReadResponseString(1, static_cast<uint32_t>(timeoutMs));
        TraceLog().Write("\r\n].\r\nCMxGsmBasics::WriteCommandStringAndWaitForResponse>>Reading[%s", collected.c_str());
        continue;
      }
      collected += next;
    }
    collected += ReadAnswerLineString(timeoutMs);
    TraceLog().Write("%s].\r\n", collected.size() > 1 ? collected.c_str() + 1 : "");
    const uint32_t code = _TestForRingCode(collected);
    if (code == 0) {
      TraceLog().Write("\r\n<--CMxGsmBasics::WriteCommandStringAndWaitForResponse>>ERROR:Wrong Response.\r\n");
      return 0;
    }
    if (code != kEventCallerId) ++m_ringProcessed;
    collected = port->_ReadResponseString(1, static_cast<uint32_t>(timeoutMs));
    TraceLog().Write("CMxGsmBasics::WriteCommandStringAndWaitForResponse>>Reading[%s", collected.c_str());
  }
  const std::string space = port->_ReadResponseString(1, static_cast<uint32_t>(timeoutMs));
  TraceLog().Write("%s].\r\n", space.c_str());
  if (space == " ") return 1;
  TraceLog().Write("<--CMxGsmBasics::WriteCommandStringAndWaitForResponse>>ERROR:Wrong Response.\r\n");
  return 0;
}

int CMxGsmBasics::_EnableEcho(int on) {
  if (!IsOpened()) return 0;
  TraceLog().Write("\r\n-->CMxGsmBasics::_EnableEcho\r\n");
  char command[16];
  std::snprintf(command, sizeof command, "ATE%i\r", on ? 1 : 0);
  TraceLog().Write("CMxGsmBasics::_EnableEcho>>Send[%s]\r\n", command);
  Port()->WriteString(command);
  TraceLog().Write("CMxGsmBasics::_EnableEcho>>Sent[%s]\r\n", command);
  const std::string first = ReadAnswerLineString(kStandardTimeoutMs);
  TraceLog().Write("\r\nCMxGsmBasics::_EnableEcho>>Response 1:[%s].\r\n", first.c_str());
  if (first.empty()) return 0;
  std::string result;
  if (first == command) {
    result = ReadAnswerString(kStandardTimeoutMs, 0);
    TraceLog().Write("Response 2:[%s].", result.c_str());
  } else {
    result = ReadAnswerLineString(kStandardTimeoutMs);
    TraceLog().Write("\r\nCMxGsmBasics::_EnableEcho>>Response 3:[%s].\r\n", result.c_str());
  }
  if (!IsOk(result)) return 0;
  Port()->EnableEcho(on);
  return 1;
}

int CMxGsmBasics::_EnableErrorReporting(int on) {
  if (!IsOpened()) return 0;
  const std::string sent = WriteCommandString(on ? "AT+CMEE=2\r" : "AT+CMEE=0\r", kStandardTimeoutMs);
  TraceLog().Write("CMxGsmBasics::_EnableErrorReporting[%s]\r\n", sent.c_str());
  const std::string answer = ReadAnswerString(kStandardTimeoutMs, 0);
  TraceLog().Write("CMxGsmBasics::_EnableErrorReporting[%s]\r\n", answer.c_str());
  return IsOk(answer);
}

int CMxGsmBasics::_TestErrorCode(const std::string&) { return 0; }

int CMxGsmBasics::IsSupported(const std::string& command) {
  if (!IsOpened()) return 0;
  WriteCommandString(command + "=?\r", kStandardTimeoutMs);
  return IsOk(ReadAnswerString(kStandardTimeoutMs, 0));
}

int CMxGsmBasics::SendTestCommand() {
  if (!IsOpened()) return 0;
  WriteCommandString("AT\r", kStandardTimeoutMs);
  return IsOk(ReadAnswerString(kStandardTimeoutMs, 0));
}

int CMxGsmBasics::SwitchModulePower(int on) {
  if (!m_device) return 0;
  if (!on) TotalClose();
  CMxComPort* port = Port();
  return port && port->SwitchPower(on ? 1 : 2) != 0 ? 1 : 0;
}

int CMxGsmBasics::IsModulePowerOn(int which) {
  CMxComPort* port = Port();
  if (!m_device || !port) return 0;
  return port->GetPortSwitchState(which) == 1 ? 1 : 0;
}
