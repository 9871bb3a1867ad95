// Millisecond tick count and sleeping.
#pragma once

#include <cstdint>

namespace fonexa::platform {

// Milliseconds of the monotonic clock, truncated to 32 bits. Like the tick count
// the engine's time-outs were designed around, it wraps after about 49.7 days;
// callers compare ticks in unsigned 32-bit arithmetic.
uint32_t TickCount();

void SleepMs(uint32_t ms);

}  // namespace fonexa::platform
