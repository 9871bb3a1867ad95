#pragma once
// Timed work inside the modem: call progress, registration, ringing, network
// answers. Everything scheduled runs on the modem's own thread.
#include <chrono>
#include <cstdint>
#include <functional>

namespace fonexa::sim {

class Scheduler {
 public:
  using TimerId = uint64_t;
  virtual ~Scheduler() = default;
  virtual TimerId schedule(std::chrono::milliseconds delay, std::function<void()> task) = 0;
  virtual void cancel(TimerId id) = 0;
};

}  // namespace fonexa::sim
