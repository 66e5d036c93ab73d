// Waiting on elapsed time. The platform's millisecond tick counter wraps
// after about 49.7 days; comparing against a precomputed end value would then
// wait for the counter to come round again. Measuring the elapsed time as an
// unsigned difference survives the wrap.
#pragma once

#include <cstdint>
#include <functional>

// Millisecond ticks elapsed from start to now, across a wrap of the counter.
inline uint32_t TicksElapsed(uint32_t start, uint32_t now) { return now - start; }

struct ElapsedWaitHooks {
  std::function<uint32_t()> ticks;            // the tick source
  std::function<void()> pump;                 // dispatches pending messages
  std::function<void(uint32_t left)> idle;    // may block up to `left` ms; optional
};

// Pumps at least once, then until more than `ms` ticks have elapsed.
// Gives back how often it pumped.
unsigned WaitElapsed(uint32_t ms, const ElapsedWaitHooks& hooks);
