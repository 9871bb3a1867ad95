// A manual-reset event: once set it stays set, waking every waiter, until reset.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace fonexa::platform {

class ManualResetEvent {
 public:
  static constexpr uint32_t kInfinite = 0xFFFFFFFFu;

  explicit ManualResetEvent(bool initiallySet = false) : set_(initiallySet) {}
  ManualResetEvent(const ManualResetEvent&) = delete;
  ManualResetEvent& operator=(const ManualResetEvent&) = delete;

  void Set();
  void Reset();
  bool IsSet() const;
  // True when the event is (or becomes) set within timeoutMs; kInfinite waits
  // without a limit, 0 only looks.
  bool Wait(uint32_t timeoutMs) const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool set_;
};

}  // namespace fonexa::platform
