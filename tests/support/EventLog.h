// A handler that records every event it is given and lets a test wait for
// the ones it expects instead of sleeping.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "fonexa/IMxGsmHandler.h"

namespace fonexa::testing {

class EventLog : public IMxGsmHandler {
 public:
  struct Event {
    uint32_t id;
    std::string text;
    uint32_t value;
  };
  // Notifies under the lock: a waiter that has seen the event cannot go on
  // (and destroy the log) while the raising thread is still in here.
  int OnEvent(uint32_t id, const std::string& text, uint32_t value) override {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back({id, text, value});
    changed_.notify_all();
    return 1;
  }
  std::vector<Event> Of(uint32_t id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Event> out;
    for (const auto& e : events_) {
      if (e.id == id) out.push_back(e);
    }
    return out;
  }
  bool WaitFor(uint32_t id, size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
      size_t n = 0;
      for (const auto& e : events_) n += e.id == id ? 1 : 0;
      return n >= count;
    });
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Event> events_;
};

}  // namespace fonexa::testing
