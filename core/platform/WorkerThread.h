// Worker threads that end by themselves and are waited for by polling.
//
// The engine never ends a thread forcibly: a thread is asked to stop through an
// event, and whoever waits for it looks every 50 ms whether it has finished.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace fonexa::platform {

class WorkerThread {
 public:
  static constexpr unsigned kPollIntervalMs = 50;

  WorkerThread() = default;
  ~WorkerThread();  // waits for a thread still running
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Starts body on a new thread; false when a thread is already attached.
  bool Start(std::function<void()> body);
  // True from Start until the body has returned.
  bool IsRunning() const;
  bool IsStarted() const { return thread_.joinable(); }
  // Polls every 50 ms until the body has returned, then joins. Does nothing
  // when no thread was started. Called from the thread itself, it only detaches.
  void WaitUntilFinished();

 private:
  std::thread thread_;
  std::shared_ptr<std::atomic<bool>> running_;
};

}  // namespace fonexa::platform
