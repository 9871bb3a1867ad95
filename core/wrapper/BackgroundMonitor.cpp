// The instance's reaction to the module-state event, and the background
// monitor that polls for the events somebody registered for.
#include <thread>
#include <vector>

#include "session/StopEvent.h"
#include "platform/MessageWindow.h"
#include "platform/WorkerThread.h"
#include "services/CMxGsmNetwork.h"
#include "services/CMxGsmSms.h"
#include "codec/DeliveryReports.h"
#include "codec/MessageJoining.h"
#include "codec/SmsEntry.h"
#include "text/DebugLog.h"
#include "wrapper/CMxGsmWrapper.h"
#include "wrapper/MonitorGate.h"

using fonexa::MonitorGate;
using fonexa::StopEvent;
using fonexa::TraceLog;

namespace {

constexpr uint32_t kGateWaitMs = 200;
constexpr uint32_t kCycleMs = 5000;
constexpr int kTestCommandTries = 20;
// Registration changes slowly: it is polled every sixth cycle only.
constexpr int kRegistrationEvery = 6;
// Failed polls in a row before the application hears of communication trouble.
constexpr int kTroubleAfter = 5;

}  // namespace

void CMxGsmWrapper::_ResumeGsmThread() {
  TraceLog().Write("\r\nCMxGsmWrapper::_ResumeGsmThread\r\n");
  MonitorGate().Set();
}

void CMxGsmWrapper::_SuspendGsmThread() {
  TraceLog().Write("\r\nCMxGsmWrapper::_SuspendGsmThread\r\n");
  MonitorGate().Reset();
}

int CMxGsmWrapper::TranslateEvent(uint32_t eventId, const std::string&, uint32_t value) {
  if (eventId != CMxGsmBasics::kEventModuleState) return 0;
  if (value != 0) {
    m_moduleState = kReady;
    if (Attach("CMxGsmWrapper::TranslateEvent", kExportLockMs)) {
      for (int i = 0; i < kTestCommandTries; ++i) {
        if (m_session.SendTestCommand()) break;
        m_session.FlushComBuffers();
      }
      CMxGsmNetwork network(&m_session);
      network.EnableNetworkEvents(1);
      int n = 0;
      int stat = 0;
      if (network.GetRegistrationStatus(n, stat)) Raise(CMxGsmBasics::kEventRegistration, static_cast<uint32_t>(stat));
      if (CMxGsmDevice* device = m_session.GetDevice()) {
        device->Initialize();
        device->SetupSms();
      }
      Detach();
    }
    _ResumeGsmThread();
  } else {
    Raise(CMxGsmBasics::kEventRegistration, 0);
    Raise(CMxGsmBasics::kEventSignal, 99);
  }
  if (!m_monitorThread.load()) {
    auto* thread = new fonexa::platform::WorkerThread;
    fonexa::platform::WorkerThread* none = nullptr;
    if (m_monitorThread.compare_exchange_strong(none, thread)) {
      thread->Start([this] { RunMonitor(); });
    } else {
      delete thread;  // another thread raised the readiness at the same time
    }
  }
  return 0;
}

void CMxGsmWrapper::RunMonitor() {
  m_monitorThreadId = std::this_thread::get_id();
  TraceLog().Write("\n_MxGsmCheckSignalAndSmsThread>>Starting thread...\n");
  TraceLog().Write("\r\n==>Starting thread[_MxGsmCheckSignalAndSmsThread]\r\n");
  int cycle = 0;
  int errors = 0;
  int lastRegistration = -1;
  for (;;) {
    bool opened = false;
    {
      // Only looks: while the instance is being re-initialised the session
      // counts as not open.
      fonexa::SharedUse use(m_useLock, 0);
      opened = use && m_session.IsOpened();
    }
    if (opened && MonitorGate().Wait(kGateWaitMs)) {
      ++cycle;
      PollOnce(cycle, errors, lastRegistration);
    }
    if (StopEvent().Wait(kCycleMs)) break;
  }
  TraceLog().Write("\r\n<==Terminating thread[_MxGsmCheckSignalAndSmsThread]\r\n");
  // A release from inside the instance left the destruction to this thread.
  // It is the last thing the thread does: nothing of the instance is touched
  // after it.
  if (m_destroyWhenMonitorEnds) Destroy(this);
}

void CMxGsmWrapper::PollOnce(int cycle, int& errors, int& lastRegistration) {
  // The cycle holds the instance like an export does, so that re-initialisation
  // and release wait for it. A re-initialisation that ran while this waited
  // may have closed the session or the gate: then there is nothing to poll.
  fonexa::SharedUse use(m_useLock, kExportLockMs);
  if (!use || !m_session.IsOpened() || !MonitorGate().IsSet()) return;
  if (!m_session.Attach("_MxGsmCheckSignalAndSmsThread", kExportLockMs)) return;
  CMxGsmNetwork network(&m_session);
  bool switchedOff = false;
  const bool pollsSignal = m_session.IsHandledEvent(CMxGsmBasics::kEventSignal);
  const bool pollsMessages = m_session.IsHandledEvent(CMxGsmBasics::kEventNewMessage);
  if (pollsSignal) {
    int rssi = -1;
    int ber = -1;
    if (network.GetSignalQuality(rssi, ber)) {
      Raise(CMxGsmBasics::kEventSignal, static_cast<uint32_t>(rssi));
      errors = 0;
    } else if (m_session.IsModulePowerOn(1)) {
      m_session.FlushComBuffers();
      ++errors;
    } else {
      SwitchModuleOff();
      switchedOff = true;
    }
  }
  if (!switchedOff && pollsMessages) {
    std::vector<fonexa::SmsEntry> unread;
    if (CMxGsmSms(&m_session).ReadSmsEntries(0, unread)) {
      for (const auto& entry : unread) {
        m_session._TranslateEvent(CMxGsmBasics::kEventNewMessage, entry.PhoneNumber + "#" + entry.MessageText,
                                  static_cast<uint32_t>(entry.Time));
        if (CMxGsmDevice* device = m_session.GetDevice()) device->HandleReceivedSms(entry.Index);
      }
      errors = 0;
    } else {
      m_session.FlushComBuffers();
      ++errors;
    }
  }
  if (!switchedOff && m_session.IsHandledEvent(CMxGsmBasics::kEventRegistration) &&
      cycle % kRegistrationEvery == 0) {
    int n = 0;
    int stat = 0;
    if (network.GetRegistrationStatus(n, stat)) {
      if (lastRegistration == -1) {
        lastRegistration = stat;  // the first reading is the baseline, not a change
      } else if (stat != lastRegistration) {
        Raise(CMxGsmBasics::kEventRegistration, static_cast<uint32_t>(stat));
        lastRegistration = stat;
      }
    }
  }
  // Joined messages and delivery reports come as unsolicited codes, read
  // whenever the line is: a listener for those alone still has the line read
  // each cycle, by a signal query whose answer nobody asked for.
  if (!switchedOff && !pollsSignal && !pollsMessages &&
      (m_session.IsHandledEvent(fonexa::kEventJoinedMessage) || m_session.IsHandledEvent(fonexa::kEventDeliveryReport))) {
    int rssi = -1;
    int ber = -1;
    network.GetSignalQuality(rssi, ber);
  }
  m_session.Detach();
  TraceLog().Write("_MxGsmCheckSignalAndSmsThread>>ErrorCount[%d]\r\n", errors);
  if (errors > kTroubleAfter) {
    Raise(CMxGsmBasics::kEventTrouble, 0);
    errors = 0;
  }
}

uint32_t CMxGsmWrapper::RegisterEvent(uint32_t eventId, IMxGsmHandler* handler) {
  TraceLog().Write("\n-->CMxGsmWrapper::RegisterEvent>>[%X]\n", eventId);
  // A late subscriber learns the module's state at once.
  if ((eventId & CMxGsmBasics::kEventModuleState) && handler) {
    handler->OnEvent(CMxGsmBasics::kEventModuleState, "", m_moduleState == kReady ? 1 : 0);
  }
  return m_session.RegisterEvent(eventId, handler);
}

uint32_t CMxGsmWrapper::RegisterEvent(uint32_t eventId, MxWindow window) {
  TraceLog().Write("\n-->CMxGsmWrapper::RegisterEvent>>[%X]\n", eventId);
  if (eventId & CMxGsmBasics::kEventModuleState) {
    const intptr_t ready = m_moduleState == kReady ? 1 : 0;
    fonexa::platform::SendWindowMessage(window, CMxGsmBasics::kEventMessage, CMxGsmBasics::kEventModuleState, ready);
    if (ready) {
      fonexa::platform::SendWindowMessage(window, CMxGsmBasics::kEventMessage, CMxGsmBasics::kEventModuleState, 1);
    }
  }
  return m_session.RegisterEvent(eventId, window);
}
