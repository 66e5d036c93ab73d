#include "ui/core/MulDiv.h"

#include <gtest/gtest.h>

TEST(MulDivRound, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDivRound(1, 255, 63), 4);     // 4.047
  EXPECT_EQ(MulDivRound(1, 3, 2), 2);        // 1.5
  EXPECT_EQ(MulDivRound(-1, 3, 2), -2);      // -1.5
  EXPECT_EQ(MulDivRound(1, -255, 2), -128);  // -127.5
  EXPECT_EQ(MulDivRound(1440, 2540, 1440), 2540);
}

TEST(MulDivRound, UsesTheFullProductAndRefusesAZeroDivisor) {
  EXPECT_EQ(MulDivRound(2000000000, 2000000000, 2000000000), 2000000000);
  EXPECT_EQ(MulDivRound(5, 5, 0), -1);
}
