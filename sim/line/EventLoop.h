#pragma once
// The modem's own thread: one poll() over its file descriptors, its timers
// and the tasks other threads post to it. All modem state lives on this
// thread, so the state machines need no locks.
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "sim/line/Scheduler.h"

namespace fonexa::sim {

class EventLoop : public Scheduler {
 public:
  using Clock = std::chrono::steady_clock;

  EventLoop();
  ~EventLoop() override;
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  void start();
  void stop();  // from any thread; waits for the thread to end
  bool running() const { return thread_.joinable(); }
  bool inLoopThread() const { return std::this_thread::get_id() == threadId_; }

  // From any thread.
  void post(std::function<void()> task);
  // Runs the task on the loop thread and waits for it (inline on the loop thread).
  void call(const std::function<void()>& task);

  // Loop thread only.
  void watch(int fd, short events, std::function<void(short revents)> handler);
  void setEvents(int fd, short events);
  void unwatch(int fd);
  TimerId schedule(std::chrono::milliseconds delay, std::function<void()> task) override;
  TimerId scheduleAt(Clock::time_point when, std::function<void()> task);
  void cancel(TimerId id) override;

 private:
  struct Watch {
    short events;
    std::function<void(short)> handler;
  };
  void run();
  void runDueTimers();
  void drainPosted();

  int wakeFd_ = -1;
  std::thread thread_;
  std::thread::id threadId_;
  std::atomic<bool> stopping_{false};
  std::mutex postedMutex_;
  std::vector<std::function<void()>> posted_;
  std::map<int, Watch> watches_;
  std::set<std::pair<Clock::time_point, TimerId>> timerOrder_;
  std::map<TimerId, std::pair<Clock::time_point, std::function<void()>>> timers_;
  TimerId nextTimer_ = 1;
};

}  // namespace fonexa::sim
