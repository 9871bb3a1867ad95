// CMxGsmCallsCompare: what the call-tracking thread knows of the calls in
// progress. Each pass fetches a fresh current-call list, compares it with the
// calls of the pass before by call index, and raises the call-list event for
// every call that appeared, disappeared or changed state.
#pragma once

#include <array>
#include <memory>

#include "codec/CallEntry.h"

class CMxGsmBasics;

class CMxGsmCallsCompare {
 public:
  // Call indices the slots hold: the ones +CHLD can name.
  static constexpr int kSlots = 8;
  // Kinds of the call-list event's value (bits 16 and up).
  static constexpr uint32_t kCallAppeared = 0x10000;
  static constexpr uint32_t kCallDisappeared = 0x20000;
  static constexpr uint32_t kCallChangedState = 0x30000;

  explicit CMxGsmCallsCompare(CMxGsmBasics* session) : m_session(session) {}
  virtual ~CMxGsmCallsCompare() = default;
  CMxGsmCallsCompare(const CMxGsmCallsCompare&) = delete;
  CMxGsmCallsCompare& operator=(const CMxGsmCallsCompare&) = delete;

  // 1 when a fresh list waits to be compared (fetched now, or still pending
  // from a pass before); 0 without a session or when the fetch failed.
  int UpdateCalls();
  // Raises the call-list event for each change, slot by slot; always 1.
  int CompareCalls();
  // 1 while any call is known.
  int HasCalls() const;

 private:
  using Slots = std::array<std::unique_ptr<fonexa::CallEntry>, kSlots>;

  CMxGsmBasics* m_session;
  Slots m_known;
  Slots m_fresh;
  int m_pending = 0;
};

namespace fonexa {

// The process-wide call tracking: the thread that polls the current-call list
// while calls are in progress, and the event that wakes it.
class CallTracking {
 public:
  // Starts the tracking thread on session when none runs yet.
  static void Start(CMxGsmBasics* session);
  // A call was answered or dialled: polling starts.
  static void Wake();
  // Waits until the thread, told to end by the stop event, has ended, so that
  // a later start begins a new one. For the instance teardown.
  static void WaitUntilStopped();
  // Whether the thread runs, for tests.
  static bool IsRunning();
};

}  // namespace fonexa
