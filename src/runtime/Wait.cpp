#include "runtime/Wait.h"

#include "runtime/Application.h"
#include "runtime/core/Elapsed.h"

#include <windows.h>

void WaitTicks(uint32_t ms) {
  ElapsedWaitHooks hooks;
  hooks.ticks = []() { return static_cast<uint32_t>(GetTickCount()); };
  hooks.pump = []() { Application->ProcessMessages(); };
  // Between pumps, sleep until a message arrives or a short slice is over,
  // instead of spinning.
  hooks.idle = [](uint32_t left) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 10 ? left : 10, QS_ALLINPUT);
  };
  WaitElapsed(ms, hooks);
}
