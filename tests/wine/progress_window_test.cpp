#include "Pixels.h"
#include "WineTestSupport.h"

#include "app/Main.h"
#include "ui/core/MulDiv.h"
#include "ui/controls/VisualStyles.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const FixedEnvironment kDesign(16);

// A control's rectangle in its window's coordinates.
RECT BoundsInWindow(const TfrmMain& form, const TControl& control) {
  RECT r = {};
  if (control.Handle()) {
    GetWindowRect(control.Handle(), &r);
  } else {
    r = control.BoundsRect();
    MapWindowPoints(control.Parent()->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  }
  RECT window = {};
  GetWindowRect(form.Handle(), &window);
  OffsetRect(&r, -window.left, -window.top);
  return r;
}

class ProgressWindow : public ::testing::Test {
protected:
  ApplicationScope scope;
  TfrmMain form{kDesign};

  RECT Bounds(const TControl& control) { return BoundsInWindow(form, control); }

  // Shows the window in the top-left corner of the screen and captures it.
  std::unique_ptr<PixelCanvas> ShowAndCapture() {
    form.SetPosition(poDefaultSizeOnly);
    form.SetBounds(0, 0, form.Width(), form.Height());
    form.Show();
    form.Repaint();
    Settle();
    auto canvas = std::make_unique<PixelCanvas>(form.Width(), form.Height());
    canvas->CaptureScreen(0, 0);
    return canvas;
  }
};

void ExpectRect(const RECT& r, int left, int top, int width, int height, const char* what) {
  EXPECT_EQ(r.left, left) << what;
  EXPECT_EQ(r.top, top) << what;
  EXPECT_EQ(r.right - r.left, width) << what;
  EXPECT_EQ(r.bottom - r.top, height) << what;
}

}  // namespace

TEST_F(ProgressWindow, IsAHiddenTopmostPopupOwnedByTheApplicationWindow) {
  char className[32] = {};
  GetClassNameA(form.Handle(), className, sizeof className);
  EXPECT_STREQ(className, "TfrmMain");
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  const LONG_PTR style = GetWindowLongPtrA(form.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_BORDER));
  EXPECT_TRUE(GetWindowLongPtrA(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), Application->Handle());
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(form.Handle(), GCLP_HCURSOR)),
            LoadCursor(nullptr, IDC_WAIT));
  RECT client;
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, 381);
  EXPECT_EQ(client.bottom, 167);
  EXPECT_EQ(form.Width(), 381) << "no frame";
  EXPECT_EQ(form.Left(), 417);
  EXPECT_EQ(form.Top(), 316);
}

// The panels, the picture and the strip are placed by what they draw (the
// pixel tests below), the body's box and the bar by what a screen reader is
// told; here the labels' origins and the frame's client edge.
TEST_F(ProgressWindow, ControlsSitWhereTheLayoutPutsThem) {
  const RECT title = Bounds(form.lblTitel), wait = Bounds(form.lbWait);
  EXPECT_EQ(title.left, 24);
  EXPECT_EQ(title.top, 16);
  EXPECT_EQ(wait.left, 31);
  EXPECT_EQ(wait.top, 97);

  RECT client;
  HWND frame = form.pnlFrame.Handle();
  GetClientRect(frame, &client);
  EXPECT_EQ(client.right, 377) << "the client edge takes 2 pixels a side";
  EXPECT_TRUE(GetWindowLongPtrA(frame, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_FALSE(GetWindowLongPtrA(form.pnlform.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(ProgressWindow, LabelsStartWithAHashAndFollowTheirText) {
  for (const TLabel* label : {&form.lblTitel, &form.lbText, &form.lbWait})
    EXPECT_EQ(label->Caption(), "#") << label->Name();

  const RECT hash = Bounds(form.lblTitel);
  form.SetTitle("A much longer title for the head");
  const RECT longer = Bounds(form.lblTitel);
  EXPECT_EQ(longer.left, hash.left);
  EXPECT_GT(longer.right - longer.left, 3 * (hash.right - hash.left));
  EXPECT_EQ(longer.bottom - longer.top, hash.bottom - hash.top) << "stays on one line";

  form.SetTitle("");
  const RECT empty = Bounds(form.lblTitel);
  EXPECT_GT(empty.right - empty.left, 0) << "an empty text measures as one blank";
  EXPECT_EQ(empty.bottom - empty.top, hash.bottom - hash.top);

  // Accelerator handling: "&&" shows one "&" in the title, but the body
  // shows every "&" literally and keeps its box.
  form.SetWaitText("a&&b");
  const int doubled = Bounds(form.lbWait).right - Bounds(form.lbWait).left;
  form.SetWaitText("a&b");
  const int single = Bounds(form.lbWait).right - Bounds(form.lbWait).left;
  EXPECT_GT(doubled, single);
  form.SetBody(std::string(400, 'x') + " tail");
  ExpectRect(Bounds(form.lbText), 39, 32, 267, 32, "lbText keeps its box");
}

TEST_F(ProgressWindow, ProgressBarRunsFrom0To100) {
  HWND bar = form.Balken.Handle();
  char className[32] = {};
  GetClassNameA(bar, className, sizeof className);
  EXPECT_STREQ(className, "msctls_progress32");
  EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
  EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 0);
  form.SetProgress(42);
  EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 42) << "sent at once";
  EXPECT_EQ(form.Balken.Position(), 42);
}

TEST_F(ProgressWindow, ShowingCentresOnceOnTheScreen) {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  form.Show();
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  EXPECT_EQ(form.Left(), (cx - 381) / 2);
  EXPECT_EQ(form.Top(), (cy - 167) / 2);
  EXPECT_EQ(form.Position(), poDesigned);
  form.SetLeft(5);
  form.Show();
  EXPECT_EQ(form.Left(), 5) << "the placement acts only once";
}

TEST_F(ProgressWindow, DrawsItsBevelRingsAndAWhiteHeadWithThePictureAndTheStripUnderIt) {
  form.SetTitle("");
  form.SetBody("");
  auto shot = ShowAndCapture();
  const PixelCanvas& window = *shot;
  const Rgb face = SysColor(COLOR_BTNFACE);
  const Rgb shadow = SysColor(COLOR_BTNSHADOW);
  const Rgb light = SysColor(COLOR_BTNHIGHLIGHT);

  // pnlFrame's lowered bevel inside the client edge: client 2..378 x 2..164
  // (the ring's geometry is pinned beside the bevel code; here its corners as
  // drawn, which tell lowered from raised and place the panel).
  EXPECT_EQ(window.At(2, 2), shadow) << "top-left corner";
  EXPECT_EQ(window.At(378, 2), light) << "top-right corner";
  EXPECT_EQ(window.At(2, 164), light) << "bottom-left corner";
  EXPECT_EQ(window.At(378, 164), light) << "bottom-right corner";
  // Its 4-pixel ring in the panel colour.
  for (int d = 3; d <= 6; ++d) {
    EXPECT_EQ(window.At(d, 100), face) << d;
    EXPECT_EQ(window.At(200, d), face) << d;
    EXPECT_EQ(window.At(380 - d, 100), face) << d;
    EXPECT_EQ(window.At(200, 166 - d), face) << d;
  }
  // pnlform's raised bevel: 7..373 x 7..159.
  EXPECT_EQ(window.At(7, 7), light) << "top-left corner";
  EXPECT_EQ(window.At(373, 7), shadow) << "top-right corner";
  EXPECT_EQ(window.At(7, 159), shadow) << "bottom-left corner";
  EXPECT_EQ(window.At(373, 159), shadow) << "bottom-right corner";
  // pnlform's surface.
  EXPECT_EQ(window.At(10, 150), face);
  EXPECT_EQ(window.At(360, 100), face);

  // The head, white without texts.
  const Rgb white{255, 255, 255};
  for (int y = 8; y < 69; y += 3)
    for (int x = 8; x < 300; x += 7) ASSERT_EQ(window.At(x, y), white) << x << "," << y;
  // The picture: near-white corners, blue tile.
  const Rgb corner = window.At(311, 12);
  EXPECT_GT(corner.r + corner.g + corner.b, 3 * 235) << corner;
  const Rgb tile = window.At(311 + 4, 12 + 48);
  EXPECT_GT(tile.b, tile.r + 60) << tile;
  // The strip across the bottom 3 rows of the head.
  const int sx = 8, sy = 69;
  EXPECT_EQ(window.At(sx + 182, sy + 1), white);
  EXPECT_EQ(window.At(sx + 182, sy), (Rgb{130, 130, 255}));
  EXPECT_EQ(window.At(sx + 182, sy + 2), (Rgb{130, 130, 255}));
  for (int y = sy; y < sy + 3; ++y) {
    EXPECT_EQ(window.At(sx, y), (Rgb{0, 0, 255}));
    EXPECT_EQ(window.At(sx + 364, y), (Rgb{0, 0, 255}));
  }
  EXPECT_EQ(window.At(sx + 178, sy + 1), (Rgb{251, 251, 255}));
}

TEST_F(ProgressWindow, ALongTitleIsDrawnOverThePictureAndCutAtTheHeadsEdge) {
  form.SetTitle(std::string(80, 'W'));
  const RECT title = Bounds(form.lblTitel);
  EXPECT_GT(title.right, 373) << "the label grows beyond the head";
  auto shot = ShowAndCapture();
  const PixelCanvas& window = *shot;
  // Over the picture, the title's glyphs are drawn; an opaque title (no
  // visual styles) also covers the picture with its white box.
  int blue = 0, dark = 0;
  for (int y = title.top; y < title.bottom; ++y) {
    for (int x = 315; x < 365; ++x) {
      const Rgb c = window.At(x, y);
      if (c.b > c.r + 60) ++blue;
      if (c.r + c.g + c.b < 150) ++dark;
    }
  }
  EXPECT_GT(dark, 20) << "glyphs over the picture";
  if (!VisualStylesActive()) {
    EXPECT_EQ(blue, 0) << "the white box covers the picture";
  }
  if (HasFailure()) window.Save("long_title.bmp");
  // Beyond the head, pnlform's frame is untouched.
  EXPECT_EQ(window.At(373, title.top + 2), SysColor(COLOR_BTNSHADOW));
}

TEST(ProgressWindowScaling, AnotherTextHeightScalesTheLayout) {
  ApplicationScope scope;
  TfrmMain form{FixedEnvironment(15)};  // what "Arial" -13 measures under Wine
  RECT client;
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, 357);
  EXPECT_EQ(client.bottom, 157);
  const RECT bar = BoundsInWindow(form, form.Balken);
  EXPECT_EQ(bar.right - bar.left, MulDivRound(321, 15, 16));
  const RECT strip = BoundsInWindow(form, form.pnlTopBody);
  EXPECT_EQ(strip.bottom - strip.top, MulDivRound(3, 15, 16));
}
