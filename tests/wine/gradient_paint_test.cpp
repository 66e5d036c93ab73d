#include "Pixels.h"
#include "WineTestSupport.h"

#include "runtime/Application.h"
#include "runtime/core/Failures.h"
#include "ui/panels/FxPanel.h"

#include <gtest/gtest.h>

#include <new>
#include <ostream>

namespace {

TFxGradient StripGradient() {
  TFxGradient g;
  g.SetColor(clWhite);
  g.SetColorCount(64);
  g.SetStyle(gstSquare);
  g.SetEndColor(clBlue);
  return g;
}

Rgb Band(const TFxGradient& g, int k) {
  const TRGB& c = g.Bands()[static_cast<size_t>(k)];
  return Rgb{c.red, c.green, c.blue};
}

const Rgb kBlue{0, 0, 255};
const Rgb kWhite{255, 255, 255};
const Rgb kUntouched{1, 2, 3};

}  // namespace

TEST(SquareGradientPaint, StripGivesTheDesignedRuns) {
  TFxGradient g = StripGradient();
  PixelCanvas canvas(365, 3);
  FillSquareGradient(canvas.dc(), RECT{0, 0, 365, 3}, g.Bands());

  EXPECT_EQ(canvas.At(182, 1), kWhite);
  EXPECT_EQ(canvas.At(182, 0), (Rgb{130, 130, 255}));
  EXPECT_EQ(canvas.At(182, 2), (Rgb{130, 130, 255}));
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(canvas.At(0, y), kBlue) << y;
    EXPECT_EQ(canvas.At(364, y), kBlue) << y;
  }
  for (int x = 179; x <= 185; ++x) EXPECT_EQ(canvas.At(x, 1), kWhite) << x;
  for (int x : {177, 178, 186, 187}) EXPECT_EQ(canvas.At(x, 1), Band(g, 1)) << x;
  for (int x : {3, 4, 360, 361}) EXPECT_EQ(canvas.At(x, 1), Band(g, 62)) << x;
  for (int x : {0, 1, 2, 362, 363, 364}) EXPECT_EQ(canvas.At(x, 1), kBlue) << x;
  for (int y : {0, 2}) {
    for (int x = 91; x <= 273; ++x) ASSERT_EQ(canvas.At(x, y), Band(g, 31)) << x << "," << y;
    for (int x = 0; x < 91; ++x) ASSERT_EQ(canvas.At(x, y), canvas.At(x, 1)) << x << "," << y;
    for (int x = 274; x < 365; ++x) ASSERT_EQ(canvas.At(x, y), canvas.At(x, 1)) << x << "," << y;
  }
  for (int x = 0; x < 182; ++x) ASSERT_EQ(canvas.At(x, 1), canvas.At(364 - x, 1)) << x;
}

TEST(SquareGradientPaint, StaysInsideItsRectangle) {
  TFxGradient g = StripGradient();
  PixelCanvas canvas(20, 9);
  FillSquareGradient(canvas.dc(), RECT{5, 3, 15, 6}, g.Bands());
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool inside = x >= 5 && x < 15 && y >= 3 && y < 6;
      if (inside) continue;
      ASSERT_EQ(canvas.At(x, y), kUntouched) << x << "," << y;
    }
  }
  // The 10 x 3 case: the innermost of equal half-sizes shows.
  const int middle[10] = {60, 47, 35, 22, 9, 0, 9, 22, 35, 47};
  const int edge[10] = {60, 47, 35, 31, 31, 31, 31, 31, 35, 47};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(canvas.At(5 + i, 4), Band(g, middle[i])) << i;
    EXPECT_EQ(canvas.At(5 + i, 3), Band(g, edge[i])) << i;
    EXPECT_EQ(canvas.At(5 + i, 5), Band(g, edge[i])) << i;
  }
}

TEST(SquareGradientPaint, DegenerateRectangles) {
  TFxGradient g = StripGradient();
  PixelCanvas canvas(4, 4);
  FillSquareGradient(canvas.dc(), RECT{1, 1, 2, 2}, g.Bands());
  EXPECT_EQ(canvas.At(1, 1), kWhite) << "1 x 1 shows band 0";
  EXPECT_EQ(canvas.At(2, 1), kUntouched);
  EXPECT_EQ(canvas.At(1, 2), kUntouched);

  PixelCanvas flat(10, 3);
  FillSquareGradient(flat.dc(), RECT{0, 1, 10, 1}, g.Bands());
  FillSquareGradient(flat.dc(), RECT{0, 0, 10, 3}, {});
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(flat.At(x, y), kUntouched) << x << "," << y;
}

TEST(SquareGradientPaint, TwoBandsGiveACentreBlockOnEndColour) {
  TFxGradient g = StripGradient();
  g.SetColorCount(2);
  PixelCanvas canvas(8, 4);
  FillSquareGradient(canvas.dc(), RECT{0, 0, 8, 4}, g.Bands());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(canvas.At(x, y), (x >= 2 && x <= 6 && y >= 1 && y <= 3) ? kWhite : kBlue)
          << x << "," << y;
}

namespace {

// A top-level host for panels under test.
class Host : public Window {
public:
  Host(int width, int height) {
    CreateNative("GradientTestHost", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST, 0, 0, width, height,
                 nullptr, nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
};

// Draws part of the gradient, then fails as when drawing resources run out.
class FailingPanel : public TFxPanel {
public:
  using TFxPanel::TFxPanel;
  enum { kNone, kResources, kMemory } fail = kResources;

protected:
  void PaintGradient(HDC dc, const RECT& r) override {
    FillSolid(dc, r, 0x0000FF);  // red
    if (fail == kResources) throw EOSError("out of resources");
    if (fail == kMemory) throw std::bad_alloc();
  }
};

int DarkPixels(const PixelCanvas& canvas, int x0, int y0, int w, int h) {
  int dark = 0;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      if (canvas.At(x, y).r < 100) ++dark;
  return dark;
}

}  // namespace

TEST(FxPanelPaint, FailureEmptyTableAndPlainModes) {
  ApplicationScope scope;
  Host host(330, 40);
  FailingPanel failing("failing");
  FailingPanel outOfMemory("outOfMemory");
  FailingPanel working("working");
  TFxPanel plain("plain");
  TFxPanel empty("empty");  // a gradient without bands: only the erase shows
  empty.SetBackground(tmGradient);
  empty.Gradient().SetTwoColors(false);
  for (auto* p : {&failing, &outOfMemory, &working}) {
    p->SetBackground(tmGradient);
    p->SetCaption("MMMM");
    p->SetFont(TFontRequest{"Arial", -14, true, clBlack});
  }
  working.fail = FailingPanel::kNone;
  outOfMemory.fail = FailingPanel::kMemory;
  failing.SetBounds(0, 0, 60, 40);
  working.SetBounds(70, 0, 60, 40);
  plain.SetBounds(140, 0, 60, 40);
  failing.CreateHandle(host.Handle());
  working.CreateHandle(host.Handle());
  plain.CreateHandle(host.Handle());
  empty.SetBounds(200, 0, 60, 40);
  empty.CreateHandle(host.Handle());
  outOfMemory.SetBounds(270, 0, 60, 40);
  outOfMemory.CreateHandle(host.Handle());
  Settle();

  PixelCanvas canvas(330, 40);
  canvas.CaptureScreen(0, 0);
  for (int left : {0, 270}) {
    EXPECT_EQ(DarkPixels(canvas, left, 0, 60, 40), 0) << "no caption over the failed gradient";
    EXPECT_EQ(canvas.At(left + 30, 5), (Rgb{255, 0, 0})) << "what was drawn stays";
  }
  EXPECT_GT(DarkPixels(canvas, 70, 0, 60, 40), 10) << "the caption is drawn after a good gradient";
  for (int x = 140; x < 200; x += 7)
    for (int y = 0; y < 40; y += 5)
      ASSERT_EQ(canvas.At(x, y), SysColor(COLOR_BTNFACE)) << "other modes fill with the colour";
  for (int x = 200; x < 260; x += 7)
    for (int y = 0; y < 40; y += 5)
      ASSERT_EQ(canvas.At(x, y), SysColor(COLOR_BTNFACE)) << "the erase fills with the panel colour";
}
