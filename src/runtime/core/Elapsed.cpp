#include "runtime/core/Elapsed.h"

unsigned WaitElapsed(uint32_t ms, const ElapsedWaitHooks& hooks) {
  const uint32_t start = hooks.ticks();
  unsigned pumps = 0;
  for (;;) {
    hooks.pump();
    ++pumps;
    const uint32_t elapsed = TicksElapsed(start, hooks.ticks());
    if (elapsed > ms) return pumps;
    if (hooks.idle) hooks.idle(ms - elapsed + 1);
  }
}
