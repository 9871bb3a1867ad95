// A place for one background thread of the process (a dial, a verification,
// the call tracking): started into the slot, waited for and emptied by
// whoever ends it. The slot's lock is never held while a thread is waited
// for, so the thread itself may use the slot meanwhile.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/WorkerThread.h"

namespace fonexa::platform {

class ThreadSlot {
 public:
  ThreadSlot() = default;
  // Slots live in function statics: a detached thread (one that let itself go
  // when it ended the instance) may have used the slot last, so even the exit
  // takes the slot's lock before it looks.
  ~ThreadSlot() { WaitUntilEmpty(); }
  ThreadSlot(const ThreadSlot&) = delete;
  ThreadSlot& operator=(const ThreadSlot&) = delete;

  // Waits for the thread of the slot, if any, then starts body in its place.
  void Start(std::function<void()> body) {
    WaitUntilEmpty();
    auto thread = std::make_unique<WorkerThread>();
    thread->Start(std::move(body));
    std::lock_guard<std::mutex> guard(lock_);
    thread_ = std::move(thread);
  }
  // Takes the thread out of the slot and waits until it has ended (from the
  // thread itself it is only let go).
  void WaitUntilEmpty() {
    std::unique_ptr<WorkerThread> thread;
    {
      std::lock_guard<std::mutex> guard(lock_);
      thread = std::move(thread_);
    }
    if (thread) thread->WaitUntilFinished();
  }
  // True while a thread of the slot runs.
  bool IsRunning() const {
    std::lock_guard<std::mutex> guard(lock_);
    return thread_ && thread_->IsRunning();
  }

 private:
  mutable std::mutex lock_;
  std::unique_ptr<WorkerThread> thread_;
};

}  // namespace fonexa::platform
