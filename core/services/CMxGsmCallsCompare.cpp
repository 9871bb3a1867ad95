#include "services/CMxGsmCallsCompare.h"

#include <mutex>
#include <vector>

#include "fonexa/CMxGsmBasics.h"
#include "platform/ManualResetEvent.h"
#include "platform/ThreadSlot.h"
#include "services/CMxGsmCall.h"
#include "session/StopEvent.h"
#include "text/DebugLog.h"

using fonexa::CallEntry;
using fonexa::TraceLog;

namespace {

constexpr uint32_t kLockMs = 10000;
// While calls are listed a pass is the +CLCC exchange plus this pause; while
// none are, the thread only looks at its two events at this pace.
constexpr uint32_t kActiveWaitMs = 500;
constexpr uint32_t kStopWaitMs = 300;

uint32_t LowByte(int value) { return static_cast<uint32_t>(value) & 0xFF; }

}  // namespace

int CMxGsmCallsCompare::UpdateCalls() {
  if (!m_session) return 0;
  if (m_pending) return 1;
  if (!m_session->Attach("CMxGsmCallsCompare::UpdateCalls", kLockMs)) return 0;
  std::vector<CallEntry> list;
  const int fetched = CMxGsmCall(m_session).GetCurrentCalls(list);
  m_session->Detach();
  if (!fetched) return 0;
  for (const CallEntry& entry : list) {
    // A call the phone numbers outside 0..7 (or not at all) has no slot:
    // +CHLD cannot name it either. It is passed over.
    if (entry.Index < 0 || entry.Index >= kSlots) continue;
    m_fresh[static_cast<size_t>(entry.Index)] = std::make_unique<CallEntry>(entry);
  }
  m_pending = 1;
  return 1;
}

int CMxGsmCallsCompare::CompareCalls() {
  if (!m_pending) return 1;
  for (size_t slot = 0; slot < kSlots; ++slot) {
    std::unique_ptr<CallEntry>& known = m_known[slot];
    std::unique_ptr<CallEntry> fresh = std::move(m_fresh[slot]);
    if (!known && !fresh) continue;
    if (!known) {
      m_session->_TranslateEvent(CMxGsmBasics::kEventCallList, fresh->PhoneNumber,
                                 kCallAppeared | LowByte(fresh->Mode) << 8 | LowByte(fresh->State));
    } else if (!fresh) {
      m_session->_TranslateEvent(CMxGsmBasics::kEventCallList, known->PhoneNumber,
                                 kCallDisappeared | LowByte(known->Mode) << 8 | LowByte(known->Direction));
    } else if (known->State != fresh->State) {
      m_session->_TranslateEvent(CMxGsmBasics::kEventCallList, fresh->PhoneNumber,
                                 kCallChangedState | LowByte(known->State) << 8 | LowByte(fresh->State));
    }
    known = std::move(fresh);
  }
  m_pending = 0;
  return 1;
}

int CMxGsmCallsCompare::HasCalls() const {
  for (const auto& slot : m_known) {
    if (slot) return 1;
  }
  return 0;
}

namespace fonexa {

namespace {

platform::ManualResetEvent& CallsActive() {
  static platform::ManualResetEvent event;
  return event;
}

platform::ThreadSlot& Tracking() {
  static platform::ThreadSlot slot;
  return slot;
}

void CheckActiveCallsThread(CMxGsmBasics* session) {
  if (!session) return;
  TraceLog().Write("\r\n==>Starting thread[_CheckActiveCallsThread]\r\n");
  {
    CMxGsmCallsCompare tracker(session);
    for (;;) {
      if (CallsActive().Wait(kActiveWaitMs) && session->IsHandledEvent(CMxGsmBasics::kEventCallList) &&
          tracker.UpdateCalls()) {
        tracker.CompareCalls();
        if (!tracker.HasCalls()) CallsActive().Reset();
      }
      if (StopEvent().Wait(kStopWaitMs)) break;
    }
  }
  TraceLog().Write("\r\n<==Terminating thread[_CheckActiveCallsThread]\r\n");
}

}  // namespace

void CallTracking::Start(CMxGsmBasics* session) {
  // One thread at a time; a thread the stop event ended before anyone waited
  // for it is collected and a new one started.
  static std::mutex starting;
  std::lock_guard<std::mutex> guard(starting);
  if (Tracking().IsRunning()) return;
  CallsActive().Reset();
  Tracking().Start([session] { CheckActiveCallsThread(session); });
}

void CallTracking::Wake() { CallsActive().Set(); }

void CallTracking::WaitUntilStopped() { Tracking().WaitUntilEmpty(); }

bool CallTracking::IsRunning() { return Tracking().IsRunning(); }

}  // namespace fonexa
