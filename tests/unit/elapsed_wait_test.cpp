#include "runtime/core/Elapsed.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// A tick counter that advances by `step` every time it is read.
struct FakeTicks {
  uint32_t now;
  uint32_t step;
  uint32_t operator()() {
    uint32_t t = now;
    now += step;
    return t;
  }
};

}  // namespace

TEST(WaitElapsed, EndsAcrossAWrapOfTheTickCounter) {
  // Start 30 ms before the counter wraps and wait 50 ms: an end value of
  // start + 50 wraps to 20, which the start is already greater than.
  FakeTicks ticks{0xFFFFFFFFu - 30, 10};
  ElapsedWaitHooks hooks;
  hooks.ticks = std::ref(ticks);
  unsigned idles = 0;
  hooks.pump = [] {};
  hooks.idle = [&](uint32_t) { ++idles; };
  const unsigned pumps = WaitElapsed(50, hooks);
  EXPECT_EQ(pumps, 6u);  // elapsed 10, 20, .., 60 > 50
  EXPECT_EQ(idles, 5u);
  EXPECT_LT(ticks.now, 100u);  // came round once, not 49 days later
}

TEST(WaitElapsed, PumpsAtLeastOnceAndWaitsMoreThanTheTime) {
  FakeTicks fast{1000, 1000};
  ElapsedWaitHooks hooks;
  int pumped = 0;
  hooks.pump = [&] { ++pumped; };

  hooks.ticks = std::ref(fast);
  EXPECT_EQ(WaitElapsed(0, hooks), 1u);
  EXPECT_EQ(pumped, 1);

  // A clock that moves in single ticks: 50 ms take 51 pumps.
  FakeTicks slow{5, 1};
  hooks.ticks = std::ref(slow);
  EXPECT_EQ(WaitElapsed(50, hooks), 51u);

  // Without an idle hook nothing else is called; the wait asks for the rest.
  uint32_t lastLeft = 0;
  hooks.idle = [&](uint32_t left) { lastLeft = left; };
  FakeTicks step20{0, 20};
  hooks.ticks = std::ref(step20);
  WaitElapsed(50, hooks);
  EXPECT_EQ(lastLeft, 11u);  // 40 elapsed: 11 more to pass 50
}
