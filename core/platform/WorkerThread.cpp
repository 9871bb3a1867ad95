#include "platform/WorkerThread.h"

#include "platform/Tick.h"

namespace fonexa::platform {

WorkerThread::~WorkerThread() { WaitUntilFinished(); }

bool WorkerThread::Start(std::function<void()> body) {
  if (thread_.joinable()) return false;
  auto running = std::make_shared<std::atomic<bool>>(true);
  running_ = running;
  thread_ = std::thread([running, body = std::move(body)] {
    body();
    running->store(false);
  });
  return true;
}

bool WorkerThread::IsRunning() const { return running_ && running_->load(); }

void WorkerThread::WaitUntilFinished() {
  if (!thread_.joinable()) return;
  if (thread_.get_id() == std::this_thread::get_id()) {
    thread_.detach();
    return;
  }
  while (running_->load()) SleepMs(kPollIntervalMs);
  thread_.join();
}

}  // namespace fonexa::platform
