// Runs of the real Setup.exe with a splash picture on the medium: the splash
// window stays on screen, topmost, above the normal windows for the whole
// run, pure black of the picture shows what lies beneath, and the progress
// window goes to the bottom-right corner. (The progress window is topmost
// too and is shown later, so where the two overlap it is the one in front.)
#include "PictureFiles.h"
#include "SetupFiles.h"
#include "SetupRun.h"
#include "ZipWriter.h"

#include "app/UFrmSplashPicture.h"

#include <gtest/gtest.h>

using namespace setup_test;
namespace pw = picture_writer;

namespace {

constexpr COLORREF kBeneath = RGB(255, 0, 255);
constexpr COLORREF kNearBlack = RGB(0, 0, 1);

std::string MediumArchive() {
  TZipWriter zip("K470395");
  zip.Add("Deutsch.lng", LanguageFile("Deutsch", {{1000, "Titel"}, {1001, "Text"}, {1002, "Warten"}}));
  zip.Add("Setup.inf", SetupInfoFile(SetupInfo()));
  zip.Add("_inst32d.exe", ReadBytes(FixturePath(FIXTURE_TEST_INSTALLER)));
  return zip.Archive();
}

std::string AsString(const pw::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

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

// What the test sees of the two windows while the program runs.
struct Watch {
  DWORD start = GetTickCount();
  bool splashSeen = false;
  RECT splash = {};
  int splashHiddenPolls = 0;
  DWORD splashGoneAt = 0;
  bool mainSeen = false;
  RECT main = {};
  int mainPolls = 0;
  int splashNotTopmostPolls = 0;
  HWND normal = nullptr;  // a normal window the splash must stay above
  int splashBelowNormalPolls = 0;
  // Screen pixels over the splash once the progress window is up.
  int pixelPolls = 0;
  int keyedPolls = 0;
  COLORREF lastBlackPixel = 0, lastNearBlackPixel = 0;

  static bool Above(HWND upper, HWND lower) {
    if (!lower) return true;
    for (HWND w = upper; w; w = GetWindow(w, GW_HWNDNEXT))
      if (w == lower) return true;
    return false;
  }

  void Poll(POINT black, POINT nearBlack) {
    HWND s = FindWindowA("TfrmSplashPicture", nullptr);
    HWND m = FindWindowA("TfrmMain", nullptr);
    if (s && IsWindowVisible(s)) {
      splashSeen = true;
      GetWindowRect(s, &splash);
      if (!(GetWindowLongPtrA(s, GWL_EXSTYLE) & WS_EX_TOPMOST)) ++splashNotTopmostPolls;
      // The walk races with the program's own z-order changes: a miss
      // counts only when a second walk right after misses too.
      if (!Above(s, normal) && !Above(s, normal)) ++splashBelowNormalPolls;
    } else if (splashSeen) {
      if (s) ++splashHiddenPolls;
      if (!splashGoneAt) splashGoneAt = GetTickCount();
    }
    if (!m || !IsWindowVisible(m)) return;
    mainSeen = true;
    GetWindowRect(m, &main);
    ++mainPolls;
    if (!s || nearBlack.x < 0) return;
    HDC screen = GetDC(nullptr);
    if (black.x >= 0) lastBlackPixel = GetPixel(screen, splash.left + black.x, splash.top + black.y);
    lastNearBlackPixel = GetPixel(screen, splash.left + nearBlack.x, splash.top + nearBlack.y);
    ReleaseDC(nullptr, screen);
    ++pixelPolls;
    if (lastBlackPixel == kBeneath && lastNearBlackPixel == kNearBlack) ++keyedPolls;
  }
};

class SplashRun : public ::testing::Test {
protected:
  void SetUp() override {
    base_ = FreshFolder(std::string("splash-run-") +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    medium_ = base_ + "\\medium";
    temp_ = base_ + "\\tmp";
    CreateDirectoryA(medium_.c_str(), nullptr);
    CreateDirectoryA(temp_.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(medium_ + "\\XceedZip.dll", ReadBytes(FixturePath(FIXTURE_XCEEDZIP_DLL))));
    ASSERT_TRUE(WriteBytes(medium_ + "\\_Setup.lib", MediumArchive()));
  }
  void TearDown() override { RemoveTree(base_); }

  RunResult Run(Watch& watch, POINT black = {-1, -1}, POINT nearBlack = {-1, -1}) {
    RunOptions options;
    options.currentFolder = medium_;
    options.tempFolder = temp_;
    options.installerLog = base_ + "\\installer.log";
    options.onPoll = [&] { watch.Poll(black, nearBlack); };
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

  static void ExpectSplashThroughoutAboveProgress(const Watch& watch, const RunResult& run) {
    ASSERT_TRUE(watch.splashSeen);
    EXPECT_EQ(watch.splashHiddenPolls, 0);
    // On screen until the process ends.
    if (watch.splashGoneAt) {
      EXPECT_GE(watch.splashGoneAt - watch.start + 500, run.elapsedMs);
    }
    EXPECT_GT(watch.mainPolls, 50);
    EXPECT_EQ(watch.splashNotTopmostPolls, 0);
    EXPECT_EQ(watch.splashBelowNormalPolls, 0);
  }

  std::string base_, medium_, temp_;
};

}  // namespace

TEST_F(SplashRun, BitmapSplashStaysTopmostForTheWholeRunWithBlackSeeThrough) {
  pw::Bmp picture;
  picture.width = 200;
  picture.height = 100;
  picture.pixels = pw::Rows(200, 100, 24, false, [](int x, int) { return x < 100 ? 0u : 0x000001u; });
  ASSERT_TRUE(WriteBytes(medium_ + "\\Setup.bmp", AsString(pw::Write(picture))));
  Background background;
  Watch watch;
  watch.normal = background.Handle();
  const RunResult run = Run(watch, POINT{20, 50}, POINT{150, 50});

  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 259u);
  EXPECT_TRUE(run.boxes.empty());
  ExpectSplashThroughoutAboveProgress(watch, run);
  const POINT corner = CentredCorner();
  EXPECT_EQ(watch.splash.left, corner.x);
  EXPECT_EQ(watch.splash.top, corner.y);
  EXPECT_EQ(watch.splash.right - watch.splash.left, 200);
  EXPECT_EQ(watch.splash.bottom - watch.splash.top, 100);
  ExpectProgressInTheCorner(watch);
  // Drawn at the first pumping, long before the run ends.
  EXPECT_GT(watch.keyedPolls, watch.pixelPolls / 2);
  EXPECT_EQ(watch.lastBlackPixel, kBeneath);
  EXPECT_EQ(watch.lastNearBlackPixel, kNearBlack);
}

TEST_F(SplashRun, PlaceableMetafileSplashIsShownAtItsSize) {
  const pw::Bytes wmf = picture_files::RecordWindows([](HDC dc) {
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 2880, 1440, nullptr);
    picture_files::FillBox(dc, 0, 0, 2880, 1440, kNearBlack);
  });
  ASSERT_TRUE(WriteBytes(medium_ + "\\Setup.wmf", AsString(pw::Placeable(0, 0, 2880, 1440, 1440, wmf))));
  Background background;
  Watch watch;
  watch.normal = background.Handle();
  const RunResult run = Run(watch, POINT{-1, -1}, POINT{96, 48});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 259u);
  ExpectSplashThroughoutAboveProgress(watch, run);
  EXPECT_EQ(watch.splash.right - watch.splash.left, 192);
  EXPECT_EQ(watch.splash.bottom - watch.splash.top, 96);
  EXPECT_EQ(watch.lastNearBlackPixel, kNearBlack);
  ExpectProgressInTheCorner(watch);
}

TEST_F(SplashRun, EmptyBitmapStillSendsTheProgressWindowToTheCorner) {
  ASSERT_TRUE(WriteBytes(medium_ + "\\Setup.bmp", ""));
  Watch watch;
  const RunResult run = Run(watch);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 259u);
  ExpectProgressInTheCorner(watch);
  // Sized to 0 x 0: nothing of it is on screen.
  EXPECT_FALSE(watch.splashSeen && watch.splash.right > watch.splash.left);
}
