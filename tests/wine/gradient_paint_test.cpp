#include "../support/StripGradient.h"
#include "Pixels.h"
#include "WineTestSupport.h"

#include "runtime/Application.h"
#include "runtime/core/Failures.h"
#include "ui/panels/FxPanel.h"
#include "ui/panels/core/Gradient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <ostream>
#include <vector>

namespace {

const Rgb kUntouched{1, 2, 3};  // the canvas's own background

// The colour each pixel of a width x height canvas must show after a square
// fill of r: the blocks the portable geometry gives (pinned beside it),
// later ones over earlier ones, clipped to r; elsewhere the background.
std::vector<Rgb> Expected(int width, int height, const RECT& r, const std::vector<TRGB>& bands) {
  std::vector<Rgb> pixels(static_cast<size_t>(width * height), kUntouched);
  for (const SquareBand& b : SquareGeometry(r.right - r.left, r.bottom - r.top,
                                            static_cast<int>(bands.size()))) {
    const TRGB& c = bands[static_cast<size_t>(b.band)];
    for (int y = std::max<int>(r.top, r.top + b.top); y <= std::min<int>(r.bottom - 1, r.top + b.bottom); ++y)
      for (int x = std::max<int>(r.left, r.left + b.left); x <= std::min<int>(r.right - 1, r.left + b.right); ++x)
        pixels[static_cast<size_t>(y * width + x)] = Rgb{c.red, c.green, c.blue};
  }
  return pixels;
}

}  // namespace

// What the platform draws of the blocks: every pixel inside the rectangle as
// its band, nothing outside, for the strip and small and degenerate cases.
TEST(SquareGradientPaint, DrawsTheGeometrysBlocksPixelForPixelAndNothingOutside) {
  TFxGradient twoBands = StripGradient();
  twoBands.SetColorCount(2);
  const std::vector<TRGB> strip = StripGradient().Bands();
  struct Case {
    int width, height;
    RECT r;
    std::vector<TRGB> bands;
  };
  const Case cases[] = {{365, 3, {0, 0, 365, 3}, strip},      {20, 9, {5, 3, 15, 6}, strip},
                        {4, 4, {1, 1, 2, 2}, strip},          {8, 4, {0, 0, 8, 4}, twoBands.Bands()},
                        {10, 3, {0, 1, 10, 1}, strip},        {10, 3, {0, 0, 10, 3}, {}}};
  for (const Case& c : cases) {
    PixelCanvas canvas(c.width, c.height);
    FillSquareGradient(canvas.dc(), c.r, c.bands);
    const std::vector<Rgb> expected = Expected(c.width, c.height, c.r, c.bands);
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x)
        ASSERT_EQ(canvas.At(x, y), expected[static_cast<size_t>(y * c.width + x)])
            << c.width << " x " << c.height << " at " << x << "," << y;
  }
  // The strip's middle is white, its ends blue (the band table is pinned beside it).
  PixelCanvas canvas(365, 3);
  FillSquareGradient(canvas.dc(), RECT{0, 0, 365, 3}, strip);
  EXPECT_EQ(canvas.At(182, 1), (Rgb{255, 255, 255}));
  EXPECT_EQ(canvas.At(0, 1), (Rgb{0, 0, 255}));
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
