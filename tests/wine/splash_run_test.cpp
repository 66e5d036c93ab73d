// Runs of the real Setup.exe with a splash picture on the medium: the splash
// window stays on screen, topmost, above the normal windows for the whole
// run, pure black of the picture shows what lies beneath, and the progress
// window goes to the bottom-right corner. (The progress window is topmost
// too and is shown later, so where the two overlap it is the one in front.)
// A JPEG beside a bitmap is the splash picture; it is decoded at the first
// paint, and a failure there is reported while the run goes on.
#include "PictureFiles.h"
#include "SetupMedium.h"

#include "app/UFrmSplashPicture.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace setup_test;
namespace pw = picture_writer;

namespace {

constexpr COLORREF kBeneath = RGB(255, 0, 255);
constexpr COLORREF kNearBlack = RGB(0, 0, 1);

std::string AsString(const pw::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
std::string JpegFixture(const char* name) { return ReadBytes(std::string(JPEG_FIXTURES) + "/" + name); }

// A plain window under the middle of the screen, so see-through pixels of
// the splash show a colour of their own.
LRESULT CALLBACK BackgroundProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    picture_files::FillBox(dc, 0, 0, 1024, 768, kBeneath);
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class Background {
public:
  Background() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BackgroundProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SplashRunBackground";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 100, 100, 824, 568,
                              nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(window_);
  }
  ~Background() { DestroyWindow(window_); }
  HWND Handle() const { return window_; }

private:
  HWND window_;
};

// What the test sees of the two windows while the program runs. A look
// counts only when the progress bar could be read after it: that the
// program's window was still there afterwards. A look followed by a
// position below 100 was taken while the run went on, so a splash hidden,
// not topmost or below the normal window then is a fault; at the end of
// the run every window goes, and a look then proves nothing.
struct Watch {
  HWND normal = nullptr;        // a normal window the splash must stay above
  std::vector<POINT> samples;   // screen pixels over the splash, once the progress window is up
  std::vector<COLORREF> expected;

  bool splashSeen = false;
  RECT splash = {};
  int highestWithSplash = -1;   // the highest position read after a look that saw the splash
  int splashHidden = 0, splashNotTopmost = 0, splashBelowNormal = 0;
  bool mainSeen = false;
  RECT main = {};
  int sampledPolls = 0, matchingPolls = 0;
  std::vector<COLORREF> sampled;  // as last sampled

  static bool Above(HWND upper, HWND lower) {
    if (!lower) return true;
    for (HWND w = upper; w; w = GetWindow(w, GW_HWNDNEXT))
      if (w == lower) return true;
    return false;
  }

  void Poll(DWORD processId) {
    const HWND s = WindowOf(processId, "TfrmSplashPicture");
    const HWND m = WindowOf(processId, "TfrmMain");
    RECT sr, mr;
    const bool splashVisible = VisibleRect(s, &sr);
    SetLastError(0);
    const LONG_PTR exStyle = splashVisible ? GetWindowLongPtrA(s, GWL_EXSTYLE) : 0;
    const bool exStyleRead = exStyle != 0 || GetLastError() == 0;
    // The walk races with the program's own z-order changes: a miss
    // counts only when a second walk right after misses too.
    const bool above = !splashVisible || Above(s, normal) || Above(s, normal);
    const bool mainVisible = VisibleRect(m, &mr);
    std::vector<COLORREF> pixels;
    if (splashVisible && mainVisible) {
      HDC screen = GetDC(nullptr);
      for (POINT p : samples) pixels.push_back(GetPixel(screen, sr.left + p.x, sr.top + p.y));
      ReleaseDC(nullptr, screen);
    }
    const int position = ProgressOf(m);
    if (position < 0) return;
    const bool runGoesOn = position < 100;
    if (splashVisible) {
      splashSeen = true;
      splash = sr;
      highestWithSplash = std::max(highestWithSplash, position);
      if (runGoesOn && exStyleRead && !(exStyle & WS_EX_TOPMOST)) ++splashNotTopmost;
      if (runGoesOn && !above) ++splashBelowNormal;
    } else if (splashSeen && runGoesOn) {
      ++splashHidden;
    }
    if (mainVisible) {
      mainSeen = true;
      main = mr;
    }
    if (!pixels.empty() && runGoesOn) {
      ++sampledPolls;
      sampled = pixels;
      if (pixels == expected) ++matchingPolls;
    }
  }
};

class SplashRun : public SetupRunTest {
protected:
  void SetUp() override {
    SetupRunTest::SetUp();
    const std::string archive = MediumArchive();
    MakeMedium(medium_, true, &archive);
  }

  void Put(const char* name, const std::string& bytes) {
    ASSERT_TRUE(WriteBytes(medium_ + "\\" + name, bytes));
  }

  RunResult Run(Watch& watch) {
    RunOptions options = FromTheMedium();
    options.watch = [&](DWORD processId) { watch.Poll(processId); };
    return RunSetup(options);
  }

  // Where the splash window comes up: its design size, scaled by the text
  // height this prefix's fonts give, centred on the 1024 x 768 screen.
  static POINT CentredCorner() {
    const int h = PlatformEnvironment().TextHeight(SplashFormFont());
    const int width = h == 13 ? 239 : MulDiv(239, h, 13);
    const int height = h == 13 ? 118 : MulDiv(118, h, 13);
    return POINT{(1024 - width) / 2, (768 - height) / 2};
  }

  static void ExpectProgressInTheCorner(const Watch& watch) {
    ASSERT_TRUE(watch.mainSeen);
    EXPECT_EQ(watch.main.right, 1024 - 5);
    EXPECT_EQ(watch.main.bottom, 768 - 30);
  }

  static void ExpectSplashThroughoutAboveTheOthers(const Watch& watch) {
    ASSERT_TRUE(watch.splashSeen);
    EXPECT_EQ(watch.splashHidden, 0);
    EXPECT_EQ(watch.highestWithSplash, 100) << "on screen until the progress is full";
    EXPECT_EQ(watch.splashNotTopmost, 0);
    EXPECT_EQ(watch.splashBelowNormal, 0);
  }

  static int Width(const RECT& r) { return r.right - r.left; }
  static int Height(const RECT& r) { return r.bottom - r.top; }
};

using JpegSplashRun = SplashRun;

}  // namespace

TEST_F(SplashRun, BitmapSplashStaysTopmostForTheWholeRunWithBlackSeeThrough) {
  pw::Bmp picture;
  picture.width = 200;
  picture.height = 100;
  picture.pixels = pw::Rows(200, 100, 24, false, [](int x, int) { return x < 100 ? 0u : 0x000001u; });
  Put("Setup.bmp", AsString(pw::Write(picture)));
  Background background;
  Watch watch;
  watch.normal = background.Handle();
  watch.samples = {{20, 50}, {150, 50}};
  watch.expected = {kBeneath, kNearBlack};
  const RunResult run = Run(watch);

  ASSERT_TRUE(RanToTheInstaller(run));
  ExpectSplashThroughoutAboveTheOthers(watch);
  const POINT corner = CentredCorner();
  EXPECT_EQ(watch.splash.left, corner.x);
  EXPECT_EQ(watch.splash.top, corner.y);
  EXPECT_EQ(Width(watch.splash), 200);
  EXPECT_EQ(Height(watch.splash), 100);
  ExpectProgressInTheCorner(watch);
  // Drawn at the first pumping, long before the run ends, and kept.
  EXPECT_GT(watch.matchingPolls, 0);
  EXPECT_EQ(watch.sampled, watch.expected);
}

TEST_F(SplashRun, PlaceableMetafileSplashIsShownAtItsSize) {
  const pw::Bytes wmf = picture_files::RecordWindows([](HDC dc) {
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 2880, 1440, nullptr);
    picture_files::FillBox(dc, 0, 0, 2880, 1440, kNearBlack);
  });
  Put("Setup.wmf", AsString(pw::Placeable(0, 0, 2880, 1440, 1440, wmf)));
  Background background;
  Watch watch;
  watch.normal = background.Handle();
  watch.samples = {{96, 48}};
  watch.expected = {kNearBlack};
  const RunResult run = Run(watch);
  ASSERT_TRUE(RanToTheInstaller(run));
  ExpectSplashThroughoutAboveTheOthers(watch);
  EXPECT_EQ(Width(watch.splash), 192);
  EXPECT_EQ(Height(watch.splash), 96);
  EXPECT_EQ(watch.sampled, watch.expected);
  ExpectProgressInTheCorner(watch);
}

TEST_F(SplashRun, EmptyBitmapStillSendsTheProgressWindowToTheCorner) {
  Put("Setup.bmp", "");
  Watch watch;
  const RunResult run = Run(watch);
  ASSERT_TRUE(RanToTheInstaller(run));
  ExpectProgressInTheCorner(watch);
  // Sized to 0 x 0: nothing of it is on screen.
  EXPECT_FALSE(watch.splashSeen && watch.splash.right > watch.splash.left);
}

TEST_F(JpegSplashRun, JpegIsTheSplashPictureRatherThanTheBitmap) {
  Put("Setup.jpg", JpegFixture("splash.jpg"));
  Put("Setup.bmp", JpegFixture("splash.bmp"));  // blue, 200 x 100
  Watch watch;
  watch.samples = {{80, 60}};
  const RunResult run = Run(watch);
  ASSERT_TRUE(RanToTheInstaller(run));
  ASSERT_TRUE(watch.splashSeen);
  EXPECT_EQ(Width(watch.splash), 160);  // the JPEG's size
  EXPECT_EQ(Height(watch.splash), 120);
  // The JPEG's orange (230, 120, 40), not the bitmap's blue.
  ASSERT_EQ(watch.sampled.size(), 1u);
  EXPECT_NEAR(GetRValue(watch.sampled[0]), 230, 12);
  EXPECT_NEAR(GetGValue(watch.sampled[0]), 120, 12);
  EXPECT_NEAR(GetBValue(watch.sampled[0]), 40, 12);
}

TEST_F(JpegSplashRun, JpegThatCannotBeDecodedIsReportedAtTheFirstPaintAndTheRunGoesOn) {
  // Arithmetic coding: the header loads, the decoding at the first paint fails.
  Put("Setup.jpg", JpegFixture("arith.jpg"));
  Put("Setup.bmp", JpegFixture("splash.bmp"));
  Watch watch;
  const RunResult run = Run(watch);
  ASSERT_TRUE(Ended(run));
  ASSERT_TRUE(watch.splashSeen);
  EXPECT_EQ(Width(watch.splash), 96);
  EXPECT_EQ(Height(watch.splash), 64);
  ASSERT_EQ(run.boxes.size(), 1u);
  ExpectBox(run.boxes[0], "Setup", "JPEG-Fehler #1.");
  EXPECT_EQ(run.exitCode, 259u);  // the installer was started all the same
  EXPECT_EQ(InstallerStarts(log_).size(), 1u);
}
