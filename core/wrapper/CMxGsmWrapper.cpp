// The instance's life cycle: creation, initialisation, power, state queries,
// the instance lock and destruction.
#include "wrapper/CMxGsmWrapper.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/ManualResetEvent.h"
#include "platform/WorkerThread.h"
#include "services/CMxGsmCall.h"
#include "services/CMxGsmCallsCompare.h"
#include "services/CMxGsmProtection.h"
#include "session/StopEvent.h"
#include "text/DebugLog.h"
#include "wrapper/LiveInstances.h"

using fonexa::TraceLog;

namespace {

// Process-wide like the stop event: whether a release has been claimed since
// the last instance was created. The stop event alone cannot tell two threads
// that release at once apart: both may look before either sets it.
std::atomic<bool>& ReleaseClaimed() {
  static std::atomic<bool> claimed{false};
  return claimed;
}

// Instances released from inside and not yet destroyed by their monitor. The
// plug-in's device is one per process: a new instance opens its port only
// once such an instance has closed it, or the late close would take the new
// instance's port with it. Never destroyed: the last monitor may end after
// the process began its exit.
struct DeferredReleases {
  std::mutex lock;
  std::condition_variable ended;
  int pending = 0;
};

DeferredReleases& Deferred() {
  static auto* deferred = new DeferredReleases;
  return *deferred;
}

// Longest an Initialize waits for a released instance to end; it goes on
// after it, as before there was a wait.
constexpr std::chrono::seconds kDeferredReleaseWait{10};

}  // namespace

CMxGsmWrapper::CMxGsmWrapper() {
  fonexa::StopEvent().Reset();
  ReleaseClaimed().store(false);
  RegisterEvent(CMxGsmBasics::kEventModuleState, this);
}

CMxGsmWrapper::~CMxGsmWrapper() {
  // The process's call tracking, a dial and a verification may still run on
  // this instance's session: they end before the session goes, and a later
  // instance starts its own. They end before the monitor is taken, since a
  // verification that succeeds raises the readiness that starts the monitor.
  CMxGsmCall::WaitForDial();
  fonexa::CallTracking::WaitUntilStopped();
  CMxGsmProtection::WaitForVerification();
  if (auto* thread = m_monitorThread.exchange(nullptr)) {
    thread->WaitUntilFinished();  // polls every 50 ms
    delete thread;
  }
}

bool CMxGsmWrapper::ClaimRelease() { return !ReleaseClaimed().exchange(true); }

void CMxGsmWrapper::Release(CMxGsmWrapper* instance) {
  instance->m_useLock.Close();
  // A handler of the instance's events runs on a thread of the engine (the
  // event, monitor, call-tracking, dial or verification thread) or inside
  // an export: either way it must not wait for itself.
  const bool inside = instance->m_useLock.IsHeldByThisThread() ||
                      std::this_thread::get_id() == instance->m_monitorThreadId.load() ||
                      instance->m_session.IsDispatchingOnThisThread();
  if (inside) {
    // Deferred rather than detached: the calling thread still runs code of the
    // instance, and perhaps of its plug-in, once its handler returns. The
    // monitor ends on the stop event and, as its last act, destroys the
    // instance after every user has left.
    if (instance->m_monitorThread.load()) {
      {
        std::lock_guard<std::mutex> guard(Deferred().lock);
        ++Deferred().pending;
      }
      instance->m_destroyWhenMonitorEnds = true;
    } else {
      TraceLog().Write("ReleaseGsm>>ERROR:Released from inside without a monitor; the instance stays.\r\n");
    }
    fonexa::StopEvent().Set();
    return;
  }
  fonexa::StopEvent().Set();
  Destroy(instance);
}

void CMxGsmWrapper::Destroy(CMxGsmWrapper* instance) {
  // Exports that found the handle before its release leave first.
  fonexa::LiveInstances::WaitUntilUnused(instance);
  instance->m_useLock.LockForRelease();
  // Waits for whoever holds the line; a refusal (module off) goes on without it.
  // The session's teardown releases what was taken here.
  instance->Attach("ReleaseGsm", fonexa::platform::ManualResetEvent::kInfinite);
  const bool deferred = instance->m_destroyWhenMonitorEnds;
  delete instance;
  if (deferred) {
    std::lock_guard<std::mutex> guard(Deferred().lock);
    --Deferred().pending;
    Deferred().ended.notify_all();
  }
}

int CMxGsmWrapper::Attach(const std::string& ownerName, uint32_t timeoutMs) {
  if (m_moduleState == kCreated || m_moduleState == kVerifying || !IsPowered()) return 0;
  return m_session.Attach(ownerName, timeoutMs);
}

int CMxGsmWrapper::Detach() { return m_session.Detach(); }

int CMxGsmWrapper::Initialize(const std::string& text) {
  TraceLog().Write("\r\n-->CMxGsmWrapper::Initialize[%s]\r\n", text.c_str());
  // Replaces the plug-in and reopens the port: nobody else may be inside.
  fonexa::ExclusiveUse use(m_useLock);
  if (!use) {
    TraceLog().Write("<--CMxGsmWrapper::Initialize>>ERROR:Released or re-initialised by another thread.\n");
    return 0;
  }
  m_initText = text;
  {
    std::unique_lock<std::mutex> guard(Deferred().lock);
    if (!Deferred().ended.wait_for(guard, kDeferredReleaseWait, [] { return Deferred().pending == 0; })) {
      TraceLog().Write("CMxGsmWrapper::Initialize>>A released instance has not ended; going on.\n");
    }
  }
  if (!m_session.Create(text)) return 0;
  m_moduleState = kCreated;
  if (!IsPowered()) {
    TraceLog().Write("<--CMxGsmWrapper::Initialize>>Module switched OFF.\n");
    return 0;
  }
  if (!m_session.Initialize()) {
    TraceLog().Write("<--CMxGsmWrapper::Initialize>>Failed initializing.\n");
    return 0;
  }
  m_moduleState = kInitialized;
  _SuspendGsmThread();
  if (GetModuleState(2)) {
    const int status = CMxGsmProtection(&m_session).GetVerifyStatus();
    if (status == CMxGsmProtection::kStatusNotRead) {
      Raise(CMxGsmBasics::kEventRegistration, 0);
      return 1;
    }
    if (status == CMxGsmProtection::kStatusReady) {
      // Reaches this instance's own TranslateEvent, which makes it ready.
      Raise(CMxGsmBasics::kEventModuleState, 1);
    } else {
      Raise(CMxGsmBasics::kEventRegistration, 0);
    }
  } else {
    Raise(CMxGsmBasics::kEventRegistration, 0);
  }
  TraceLog().Write("<--CMxGsmWrapper::Initialize>>OK.\n");
  return 1;
}

int CMxGsmWrapper::SwitchModuleOn() {
  TraceLog().Write("\r\n-->CMxGsmWrapper::SwitchModuleOn\r\n");
  fonexa::ExclusiveUse use(m_useLock);
  if (!use) {
    TraceLog().Write("<--CMxGsmWrapper::SwitchModuleOn>>ERROR\r\n");
    return 0;
  }
  // A module that counts as powered but was switched off (its session closed)
  // still needs bringing up: devices without power control always count as
  // powered, and answering "on" for them would leave every export refused.
  if (IsPowered() && m_moduleState != kCreated) {
    TraceLog().Write("<--CMxGsmWrapper::SwitchModuleOn>>OK1\r\n");
    return 1;
  }
  if (!m_session.SwitchModulePower(1)) {
    TraceLog().Write("<--CMxGsmWrapper::SwitchModuleOn>>ERROR\r\n");
    return 0;
  }
  TraceLog().Write("<--CMxGsmWrapper::SwitchModuleOn>>OK2\r\n");
  return Initialize(m_initText);
}

int CMxGsmWrapper::SwitchModuleOff() {
  TraceLog().Write("\r\n-->CMxGsmWrapper::SwitchModuleOff\r\n");
  // Closes the port under whoever else is inside: they must have left.
  fonexa::ExclusiveUse use(m_useLock);
  if (!use || !m_session.SwitchModulePower(0)) {
    TraceLog().Write("<--CMxGsmWrapper::SwitchModuleOff>>ERROR\r\n");
    return 0;
  }
  m_moduleState = kCreated;
  _SuspendGsmThread();
  Raise(CMxGsmBasics::kEventModuleState, 0);
  TraceLog().Write("<--CMxGsmWrapper::SwitchModuleOff>>OK\r\n");
  return 1;
}

int CMxGsmWrapper::GetModuleState(int query) {
  TraceLog().Write("-->CMxGsmWrapper::GetModuleState[%d]\r\n", query);
  if (query != 1 && m_moduleState == kCreated) {
    TraceLog().Write("<--CMxGsmWrapper::GetModuleState>>Not Initialized.\r\n");
    return 0;
  }
  int answer = 0;
  switch (query) {
    case 1:
      answer = m_session.IsModulePowerOn(0);
      break;
    case 2:
      if (m_moduleState == kVerifying) {
        answer = 1;
      } else if (GetModuleState(1)) {
        if (!Attach("CMxGsmWrapper::GetModuleState", kExportLockMs)) return 0;
        int present = 0;
        CMxGsmDevice* device = m_session.GetDevice();
        answer = device && device->GetSimPresence(present) ? present : 0;
        Detach();
      }
      break;
    case 3:
      answer = m_moduleState == kVerifying || m_moduleState == kReady ? 1 : 0;
      break;
    case 4:
      answer = m_moduleState == kReady ? 1 : 0;
      if (answer) {
        _ResumeGsmThread();
      } else {
        _SuspendGsmThread();
      }
      break;
    default:
      break;
  }
  TraceLog().Write("<--CMxGsmWrapper::GetModuleState>>OK[%d]\n", answer);
  return answer;
}
