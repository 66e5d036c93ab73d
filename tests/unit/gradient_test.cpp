#include "../support/StripGradient.h"
#include "ui/panels/core/Bevel.h"
#include "ui/panels/core/Gradient.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

namespace {

// Paints the gstSquare blocks into a grid of band indices (-1: untouched),
// later blocks over earlier ones, clipped to the grid.
std::vector<std::vector<int>> Rasterize(int width, int height, int n) {
  std::vector<std::vector<int>> grid(static_cast<size_t>(height),
                                     std::vector<int>(static_cast<size_t>(width), -1));
  for (const SquareBand& b : SquareGeometry(width, height, n)) {
    for (int y = std::max(0, b.top); y <= std::min(height - 1, b.bottom); ++y)
      for (int x = std::max(0, b.left); x <= std::min(width - 1, b.right); ++x)
        grid[static_cast<size_t>(y)][static_cast<size_t>(x)] = b.band;
  }
  return grid;
}

TRGB Rgb(int r, int g, int b) {
  return TRGB{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
}

}  // namespace

TEST(GradientBands, WhiteToBlueIn64BandsRoundsLikeThePlatform) {
  TFxGradient g = StripGradient();
  const auto& t = g.Bands();
  ASSERT_EQ(t.size(), 64u);
  const std::pair<int, int> redAndGreen[] = {{0, 255}, {1, 251}, {30, 134}, {31, 130}, {32, 125}, {62, 4}, {63, 0}};
  for (auto [band, level] : redAndGreen) EXPECT_EQ(t[band], Rgb(level, level, 255)) << band;
}

TEST(GradientBands, DefaultIsSixteenBandsBlueToBlack) {
  TFxGradient g;
  ASSERT_EQ(g.Bands().size(), 16u);
  EXPECT_EQ(g.Bands().front(), Rgb(0, 0, 255));
  EXPECT_EQ(g.Bands().back(), Rgb(0, 0, 0));
  EXPECT_EQ(g.Bands()[8], Rgb(0, 0, 119));  // 255 - round(255 * 8 / 15) = 255 - 136
}

TEST(GradientBands, ColorCountStaysFrom2To236AndTwoBandsAreExactlyTheTwoColours) {
  TFxGradient g = StripGradient();
  g.SetColorCount(1);
  EXPECT_EQ(g.ColorCount(), 2);
  EXPECT_EQ(g.Bands(), (std::vector<TRGB>{Rgb(255, 255, 255), Rgb(0, 0, 255)}));
  g.SetColorCount(1000);
  EXPECT_EQ(g.ColorCount(), 236);
  EXPECT_EQ(g.Bands().size(), 236u);
}

TEST(GradientBands, SystemColoursAreResolvedWhenTheTableIsBuilt) {
  static uint32_t face = 0x102030;
  TFxGradient g([](int index) -> uint32_t { return index == kColorBtnFace ? face : 0; });
  g.SetColor(clBtnFace);
  g.SetColorCount(2);
  EXPECT_EQ(g.Bands()[0], Rgb(0x30, 0x20, 0x10));
  face = 0x0000FF;
  EXPECT_EQ(g.Bands()[0], Rgb(0x30, 0x20, 0x10)) << "kept until the next rebuild";
  g.Rebuild();
  EXPECT_EQ(g.Bands()[0], Rgb(0xFF, 0, 0));
}

TEST(GradientBands, MultiColourSegmentsShareTheirJoiningBand) {
  TFxGradient g;
  g.SetColorCount(9);
  g.SetTwoColors(false);
  EXPECT_TRUE(g.Bands().empty()) << "no stops, nothing to paint";
  g.SetColorList({clWhite});
  EXPECT_TRUE(g.Bands().empty()) << "one stop is not a gradient";
  g.SetColorList({0x0000FF, 0x00FF00, 0xFF0000});  // red, green, blue; 9 div 3 = 3 per segment
  const auto& t = g.Bands();
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[0], Rgb(255, 0, 0));
  EXPECT_EQ(t[1], Rgb(127, 128, 0));  // 255 + round(-127.5), 0 + round(127.5)
  EXPECT_EQ(t[2], Rgb(0, 255, 0));
  EXPECT_EQ(t[3], Rgb(0, 127, 128));
  EXPECT_EQ(t[4], Rgb(0, 0, 255));
  // A segment of one band does not wrap the channels.
  g.SetColorCount(5);
  g.SetColorList({clWhite, clBlack, clWhite});  // 5 div 3 = 1 band per segment
  EXPECT_EQ(g.Bands(), std::vector<TRGB>{Rgb(255, 255, 255)});
}

TEST(GradientChanges, NotifyOnlyWhenAValueChanges) {
  TFxGradient g;
  int notified = 0;
  g.SetOnChange([&] { ++notified; });
  g.SetColor(clBlue);  // the default
  g.SetColorCount(16);
  EXPECT_EQ(notified, 0);
  g.SetColor(clWhite);
  g.SetEndColor(clBlue);
  EXPECT_EQ(notified, 2);
  TFxGradient other = StripGradient();
  g.Assign(other);
  EXPECT_EQ(notified, 3) << "assignment rebuilds and notifies once";
  EXPECT_EQ(g.Bands(), other.Bands());
}

TEST(SquareGeometry, StripHalfSizesMatchTheDesign) {
  const auto blocks = SquareGeometry(365, 3, 64);
  ASSERT_EQ(blocks.size(), 64u);
  EXPECT_TRUE(blocks.front().band == 63 && blocks.back().band == 0) << "outermost first";
  const std::map<int, int> halfWidths = {{0, 3},  {1, 5},  {2, 8},    {3, 11},  {30, 88},
                                         {31, 91}, {32, 94}, {62, 179}, {63, 182}};
  for (const SquareBand& b : blocks) {
    EXPECT_EQ(b.left + b.right, 2 * 182);
    EXPECT_EQ(b.bottom - b.top, b.band <= 30 ? 0 : 2) << "band " << b.band;
    if (halfWidths.count(b.band)) {
      EXPECT_EQ((b.right - b.left) / 2, halfWidths.at(b.band)) << "band " << b.band;
    }
  }
}

TEST(SquareGeometry, StripPixelRuns) {
  auto grid = Rasterize(365, 3, 64);
  const auto& mid = grid[1];
  for (int x = 179; x <= 185; ++x) EXPECT_EQ(mid[x], 0) << x;
  for (int x : {177, 178}) EXPECT_EQ(mid[x], 1) << x;  // the right half mirrors the left, below
  for (int x : {3, 4}) EXPECT_EQ(mid[x], 62) << x;
  for (int row = 0; row < 3; ++row) {
    for (int x : {0, 1, 2, 362, 363, 364}) EXPECT_EQ(grid[row][x], 63) << row << "," << x;
  }
  for (int row : {0, 2}) {
    for (int x = 91; x <= 273; ++x) ASSERT_EQ(grid[row][x], 31) << row << "," << x;
    for (int x = 0; x < 91; ++x) ASSERT_EQ(grid[row][x], mid[x]) << row << "," << x;
    for (int x = 274; x < 365; ++x) ASSERT_EQ(grid[row][x], mid[x]) << row << "," << x;
  }
  for (int x = 0; x < 182; ++x) ASSERT_EQ(mid[x], mid[364 - x]) << "mirrored at " << x;
}

TEST(SquareGeometry, SmallRectanglesShowTheInnermostOfEqualBandsAndEmptyOnesNothing) {
  auto grid = Rasterize(10, 3, 64);
  EXPECT_EQ(grid[1], (std::vector<int>{60, 47, 35, 22, 9, 0, 9, 22, 35, 47}));
  EXPECT_EQ(grid[0], (std::vector<int>{60, 47, 35, 31, 31, 31, 31, 31, 35, 47}));
  EXPECT_EQ(grid[2], grid[0]);

  EXPECT_EQ(Rasterize(1, 1, 64)[0][0], 0);
  // An empty rectangle or table paints nothing.
  EXPECT_TRUE(SquareGeometry(365, 0, 64).empty());
  EXPECT_TRUE(SquareGeometry(0, 3, 64).empty());
  EXPECT_TRUE(SquareGeometry(365, 3, 0).empty());
}

TEST(SquareGeometry, TwoBandsGiveACentreBlockAndAFullOuterBlock) {
  auto grid = Rasterize(8, 4, 2);
  // cx = 4, cy = 2; band 0 half-sizes 4/2 = 2 and 2/2 = 1; band 1 covers all.
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(grid[y][x], (x >= 2 && x <= 6 && y >= 1 && y <= 3) ? 0 : 1) << x << "," << y;
}

TEST(BevelExtent, FollowsStylesWidthsAndBorders) {
  TFxBevel bevel;
  EXPECT_EQ(bevel.Mode(), bmCustom);
  EXPECT_EQ(bevel.Extent(), 0) << "the strip's bevel takes nothing";
  bevel.SetStyleOuter(bvLowered);
  EXPECT_EQ(bevel.Extent(), 1);
  bevel.SetStyleOuter(bvFrameRaised);
  bevel.SetWidthOuter(2);
  EXPECT_EQ(bevel.Extent(), 3);
  bevel.SetStyleInner(bvFrameLowered);
  EXPECT_EQ(bevel.Extent(), 5);
  bevel.SetBorderWidth(4);
  bevel.SetBorderInnerWidth(1);
  EXPECT_EQ(bevel.Extent(), 10);
  bevel.SetStyleInner(bvShadow);
  bevel.SetWidthInner(3);
  EXPECT_EQ(bevel.Extent(), 4) << "a shadow counts only its width and the inner border";
  int notified = 0;
  bevel.SetOnChange([&] { ++notified; });
  bevel.SetWidthInner(3);
  bevel.SetWidthInner(2);
  EXPECT_EQ(notified, 1);
}
