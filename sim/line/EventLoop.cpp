#include "sim/line/EventLoop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <future>
#include <stdexcept>

namespace fonexa::sim {

EventLoop::EventLoop() {
  wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeFd_ < 0) throw std::runtime_error("eventfd failed");
}

EventLoop::~EventLoop() {
  stop();
  ::close(wakeFd_);
}

void EventLoop::start() {
  if (thread_.joinable()) return;
  stopping_ = false;
  std::promise<void> started;
  auto ready = started.get_future();
  thread_ = std::thread([this, &started] {
    threadId_ = std::this_thread::get_id();
    started.set_value();
    run();
  });
  ready.wait();
}

void EventLoop::stop() {
  if (!thread_.joinable()) return;
  if (inLoopThread()) {
    stopping_ = true;
    return;
  }
  stopping_ = true;
  const uint64_t one = 1;
  [[maybe_unused]] auto n = ::write(wakeFd_, &one, sizeof one);
  thread_.join();
  threadId_ = {};
}

void EventLoop::post(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(postedMutex_);
    posted_.push_back(std::move(task));
  }
  const uint64_t one = 1;
  [[maybe_unused]] auto n = ::write(wakeFd_, &one, sizeof one);
}

void EventLoop::call(const std::function<void()>& task) {
  if (!thread_.joinable() || inLoopThread()) {
    task();
    return;
  }
  std::promise<void> done;
  auto finished = done.get_future();
  post([&task, &done] {
    task();
    done.set_value();
  });
  finished.wait();
}

void EventLoop::watch(int fd, short events, std::function<void(short)> handler) {
  watches_[fd] = Watch{events, std::move(handler)};
}

void EventLoop::setEvents(int fd, short events) {
  auto it = watches_.find(fd);
  if (it != watches_.end()) it->second.events = events;
}

void EventLoop::unwatch(int fd) { watches_.erase(fd); }

Scheduler::TimerId EventLoop::schedule(std::chrono::milliseconds delay, std::function<void()> task) {
  return scheduleAt(Clock::now() + delay, std::move(task));
}

Scheduler::TimerId EventLoop::scheduleAt(Clock::time_point when, std::function<void()> task) {
  const TimerId id = nextTimer_++;
  timers_[id] = {when, std::move(task)};
  timerOrder_.insert({when, id});
  return id;
}

void EventLoop::cancel(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  timerOrder_.erase({it->second.first, id});
  timers_.erase(it);
}

void EventLoop::runDueTimers() {
  const auto now = Clock::now();
  while (!timerOrder_.empty() && timerOrder_.begin()->first <= now) {
    const TimerId id = timerOrder_.begin()->second;
    timerOrder_.erase(timerOrder_.begin());
    auto it = timers_.find(id);
    if (it == timers_.end()) continue;
    auto task = std::move(it->second.second);
    timers_.erase(it);
    task();
  }
}

void EventLoop::drainPosted() {
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard<std::mutex> lock(postedMutex_);
    tasks.swap(posted_);
  }
  for (auto& t : tasks) t();
}

void EventLoop::run() {
  std::vector<pollfd> fds;
  while (!stopping_) {
    // Timers need better than poll()'s milliseconds: a byte at 9600 baud
    // takes 1.04 ms, so ppoll() with nanoseconds.
    timespec timeout{};
    timespec* wait = nullptr;
    if (!timerOrder_.empty()) {
      const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(timerOrder_.begin()->first - Clock::now());
      const long long ns = std::clamp<long long>(left.count(), 0, 60'000'000'000LL);
      timeout.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
      timeout.tv_nsec = static_cast<long>(ns % 1'000'000'000);
      wait = &timeout;
    }
    fds.clear();
    fds.push_back({wakeFd_, POLLIN, 0});
    for (const auto& [fd, w] : watches_) {
      if (w.events) fds.push_back({fd, w.events, 0});
    }
    const int n = ::ppoll(fds.data(), fds.size(), wait, nullptr);
    if (n < 0 && errno != EINTR) break;
    if (n > 0 && (fds[0].revents & POLLIN)) {
      uint64_t value;
      [[maybe_unused]] auto r = ::read(wakeFd_, &value, sizeof value);
    }
    drainPosted();
    if (n > 0) {
      for (size_t i = 1; i < fds.size(); ++i) {
        if (!fds[i].revents) continue;
        auto it = watches_.find(fds[i].fd);
        if (it != watches_.end()) {
          auto handler = it->second.handler;  // a handler may unwatch itself
          handler(fds[i].revents);
        }
      }
    }
    runDueTimers();
  }
  drainPosted();
}

}  // namespace fonexa::sim
