// A deadline in milliseconds from the moment the timer is made.
#pragma once

#include <cstdint>

#include "platform/Tick.h"

namespace fonexa {

class TickTimer {
 public:
  explicit TickTimer(uint32_t durationMs) : start_(platform::TickCount()), duration_(durationMs) {}

  // Measured as elapsed time, so that a deadline that spans the 32-bit wrap of
  // the tick count (every 49.7 days) neither expires at once nor never.
  bool Expired() const { return platform::TickCount() - start_ >= duration_; }

 private:
  uint32_t start_;
  uint32_t duration_;
};

}  // namespace fonexa
