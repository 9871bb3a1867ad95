// Who may use an instance at the same time.
//
// The exports and the background monitor use the instance shared: each holds
// it for one request or one poll cycle, and the session lock still puts their
// dialogues on the line one at a time. Re-initialisation (Initialize, SwitchOn,
// SwitchOff) replaces the plug-in, reopens the port and writes its own
// commands without the session lock, so it holds the instance exclusively;
// release does too, so that nobody is left running code in a plug-in it
// unloads.
//
// The rules follow from events being delivered synchronously: a handler runs
// on the thread that raised the event, while that thread uses the instance,
// and may call exports again.
// - A thread already inside (shared or exclusive) enters again at once.
// - A thread that holds shared use may take exclusive use; it waits until it
//   is the only user. Two such threads would wait for each other, so the
//   second one is refused instead.
// - A waiting exclusive request keeps new shared users out, so a busy poller
//   cannot starve re-initialisation.
// - Once closed (a release began), threads not already inside are refused,
//   also those that are waiting.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace fonexa {

class InstanceUseLock {
 public:
  static constexpr uint32_t kNoLimit = 0xFFFFFFFFu;

  // False when refused: closed, or not obtained within timeoutMs.
  bool LockShared(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    const auto self = std::this_thread::get_id();
    if (Holder* holder = Find(self)) {
      ++holder->depth;
      return true;
    }
    if (owner_ == self) {
      holders_.push_back({self, 1});
      return true;
    }
    const auto mayEnter = [&] { return closing_ || (owner_ == std::thread::id() && exclusiveWaiting_ == 0); };
    ++sharedWaiting_;
    const bool entered = timeoutMs == kNoLimit
                             ? (changed_.wait(lock, mayEnter), true)
                             : changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), mayEnter);
    --sharedWaiting_;
    if (!entered || closing_) {
      changed_.notify_all();  // a release may be waiting for the waiters to go
      return false;
    }
    holders_.push_back({self, 1});
    return true;
  }

  void UnlockShared() {
    std::lock_guard<std::mutex> lock(mutex_);
    Holder* holder = Find(std::this_thread::get_id());
    if (!holder || --holder->depth > 0) return;
    holders_.erase(holders_.begin() + (holder - holders_.data()));
    changed_.notify_all();
  }

  // Waits without a limit for the other users to leave. False when closed, or
  // when this thread holds shared use while another such thread is already
  // waiting for exclusive use.
  bool LockExclusive() { return Exclusive(false); }
  // The release's exclusive use: taken even though the lock is closed.
  void LockForRelease() { Exclusive(true); }

  void UnlockExclusive() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (owner_ != std::this_thread::get_id() || --ownerDepth_ > 0) return;
    owner_ = std::thread::id();
    changed_.notify_all();
  }

  // From now on only threads already inside get in.
  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
    changed_.notify_all();
  }

  bool IsHeldByThisThread() {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto self = std::this_thread::get_id();
    return owner_ == self || Find(self) != nullptr;
  }

 private:
  struct Holder {
    std::thread::id thread;
    int depth;
  };

  Holder* Find(std::thread::id thread) {
    auto it = std::find_if(holders_.begin(), holders_.end(), [&](const Holder& h) { return h.thread == thread; });
    return it == holders_.end() ? nullptr : &*it;
  }

  bool Exclusive(bool evenWhenClosed) {
    std::unique_lock<std::mutex> lock(mutex_);
    const auto self = std::this_thread::get_id();
    if (owner_ == self) {
      ++ownerDepth_;
      return true;
    }
    if (closing_ && !evenWhenClosed) return false;
    const bool upgrading = Find(self) != nullptr;
    if (upgrading) {
      if (upgrader_ != std::thread::id()) return false;
      upgrader_ = self;
    }
    ++exclusiveWaiting_;
    changed_.wait(lock, [&] {
      if (closing_ && !evenWhenClosed) return true;
      if (owner_ != std::thread::id()) return false;
      // An upgrading thread waits for the others only; a thread that upgrades
      // goes before a waiting one that holds nothing, which could not go on
      // before it anyway.
      if (upgrading) return holders_.size() == 1;
      // The release also waits for refused waiters to wake and go, as the lock
      // is destroyed with the instance.
      if (evenWhenClosed && (sharedWaiting_ > 0 || exclusiveWaiting_ > 1)) return false;
      return holders_.empty() && upgrader_ == std::thread::id();
    });
    --exclusiveWaiting_;
    if (upgrading) upgrader_ = std::thread::id();
    if (closing_ && !evenWhenClosed) {
      changed_.notify_all();
      return false;
    }
    owner_ = self;
    ownerDepth_ = 1;
    return true;
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Holder> holders_;  // threads with shared use, and how often each entered
  std::thread::id owner_;        // the thread with exclusive use
  int ownerDepth_ = 0;
  int exclusiveWaiting_ = 0;
  int sharedWaiting_ = 0;
  std::thread::id upgrader_;  // a shared user waiting for exclusive use
  bool closing_ = false;
};

// Scoped shared or exclusive use; test the object to learn whether it was
// granted. Exclusive use waits without a limit, so it takes no time-out.
template <bool kExclusive>
class ScopedUse {
 public:
  explicit ScopedUse(InstanceUseLock& lock, uint32_t timeoutMs = InstanceUseLock::kNoLimit)
      : lock_((kExclusive ? lock.LockExclusive() : lock.LockShared(timeoutMs)) ? &lock : nullptr) {}
  ~ScopedUse() {
    if (!lock_) return;
    if (kExclusive) {
      lock_->UnlockExclusive();
    } else {
      lock_->UnlockShared();
    }
  }
  ScopedUse(const ScopedUse&) = delete;
  ScopedUse& operator=(const ScopedUse&) = delete;
  explicit operator bool() const { return lock_ != nullptr; }

 private:
  InstanceUseLock* lock_;
};

using SharedUse = ScopedUse<false>;
using ExclusiveUse = ScopedUse<true>;

}  // namespace fonexa
