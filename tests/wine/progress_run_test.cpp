// The progress window in runs of the real Setup.exe: it comes up once,
// centred at the size the measured text height gives, with its three texts
// drawn, and its bar reaches 100 before the installer starts. A silent run
// never shows it but takes the full time.
#include "Pixels.h"
#include "SetupFiles.h"
#include "SetupRun.h"
#include "ZipWriter.h"
#include "ui/core/MulDiv.h"
#include "ui/controls/Font.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <iostream>
#include <memory>

using namespace setup_test;

namespace {

struct Sighting {
  HWND window = nullptr;
  int shownTimes = 0;
  bool wasVisible = false;
  RECT firstShown = {};
  int lastProgress = -1;
  int progressBeforeInstaller = -1;  // last seen while the installer had not run
  std::unique_ptr<PixelCanvas> shot;
};

BOOL CALLBACK FindForeignForm(HWND window, LPARAM data) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (pid != GetCurrentProcessId() && std::string(name) == "TfrmMain") {
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindBar(HWND window, LPARAM data) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == "msctls_progress32") {
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
  }
  return TRUE;
}

int ProgressOf(HWND form) {
  HWND bar = nullptr;
  EnumChildWindows(form, FindBar, reinterpret_cast<LPARAM>(&bar));
  DWORD_PTR position = 0;
  if (!bar || !SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 500, &position))
    return -1;
  return static_cast<int>(position);
}

void Observe(Sighting& s, const std::string& installerLog) {
  if (!s.window) EnumWindows(FindForeignForm, reinterpret_cast<LPARAM>(&s.window));
  if (!s.window || !IsWindow(s.window)) return;
  const bool visible = IsWindowVisible(s.window) != FALSE;
  if (visible && !s.wasVisible && ++s.shownTimes == 1) GetWindowRect(s.window, &s.firstShown);
  s.wasVisible = visible;
  const int progress = ProgressOf(s.window);
  if (progress >= 0) s.lastProgress = progress;
  if (!Exists(installerLog)) s.progressBeforeInstaller = s.lastProgress;
  if (visible && !s.shot && s.lastProgress >= 40) {
    RECT r;
    GetWindowRect(s.window, &r);
    s.shot = std::make_unique<PixelCanvas>(r.right - r.left, r.bottom - r.top);
    s.shot->CaptureScreen(r.left, r.top);
  }
}

// Dark (text) pixels in a rectangle given in design coordinates.
int TextPixels(const PixelCanvas& shot, int h, int left, int top, int right, int bottom) {
  int dark = 0;
  for (int y = MulDivRound(top, h, 16); y < MulDivRound(bottom, h, 16); ++y)
    for (int x = MulDivRound(left, h, 16); x < MulDivRound(right, h, 16); ++x) {
      const Rgb c = shot.At(x, y);
      if (c.r + c.g + c.b < 200) ++dark;
    }
  return dark;
}

class ProgressRun : public ::testing::Test {
protected:
  void SetUp() override {
    base_ = FreshFolder(std::string("progress-run-") +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    medium_ = base_ + "\\medium";
    temp_ = base_ + "\\tmp";
    log_ = base_ + "\\installer.log";
    CreateDirectoryA(medium_.c_str(), nullptr);
    CreateDirectoryA(temp_.c_str(), nullptr);
  }
  void TearDown() override { RemoveTree(base_); }

  void MakeMedium(const SetupInfo& info) {
    TZipWriter zip("K470395");
    zip.Add("Deutsch.lng",
            LanguageFile("Deutsch", {{1000, "Installation von %PRODUKTNAME%"},
                                     {1001, "%PRODUKTNAME% %PRODUKTVERSION% wird f\xFCr die "
                                            "Installation vorbereitet."},
                                     {1002, "Bitte warten Sie einen Moment ..."}}));
    zip.Add("Setup.inf", SetupInfoFile(info));
    zip.Add("_inst32d.exe", ReadBytes(FixturePath(FIXTURE_TEST_INSTALLER)));
    ASSERT_TRUE(WriteBytes(medium_ + "\\XceedZip.dll", ReadBytes(FixturePath(FIXTURE_XCEEDZIP_DLL))));
    ASSERT_TRUE(WriteBytes(medium_ + "\\_Setup.lib", zip.Archive()));
  }

  RunResult Run(Sighting& sighting) {
    RunOptions options;
    options.currentFolder = medium_;
    options.tempFolder = temp_;
    options.installerLog = log_;
    options.onPoll = [&] { Observe(sighting, log_); };
    return RunSetup(options);
  }

  std::string base_, medium_, temp_, log_;
};

}  // namespace

TEST_F(ProgressRun, WindowComesUpOnceCentredWithItsTextsAndTheBarReaches100First) {
  MakeMedium(SetupInfo());
  Sighting seen;
  RunResult run = Run(seen);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 259u);
  EXPECT_TRUE(run.boxes.empty());

  // The size follows the text height that the platform measures for the
  // window font; this process sees the same fonts.
  const int h = MeasureTextHeight(TFontRequest{"Arial", -13, false, clBlack});
  const int width = MulDivRound(381, h, 16), height = MulDivRound(167, h, 16);
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(seen.shownTimes, 1);
  EXPECT_EQ(seen.firstShown.left, (cx - width) / 2);
  EXPECT_EQ(seen.firstShown.top, (cy - height) / 2);
  EXPECT_EQ(seen.firstShown.right - seen.firstShown.left, width);
  EXPECT_EQ(seen.firstShown.bottom - seen.firstShown.top, height);
  EXPECT_EQ(seen.progressBeforeInstaller, 100);
  EXPECT_FALSE(LogOfInstaller(log_).empty()) << "the installer ran after that";

  ASSERT_TRUE(seen.shot);
  seen.shot->Save("progress_window_run.bmp");
  std::cout << "screenshot: progress_window_run.bmp (text height " << h << ")\n";
  EXPECT_GT(TextPixels(*seen.shot, h, 24, 16, 300, 30), 20) << "title";
  EXPECT_GT(TextPixels(*seen.shot, h, 39, 32, 300, 64), 40) << "body";
  EXPECT_GT(TextPixels(*seen.shot, h, 31, 97, 300, 112), 20) << "wait text";
}

TEST_F(ProgressRun, ASilentRunNeverShowsTheWindowButTakesTheFullTime) {
  SetupInfo info;
  info.silent = true;
  MakeMedium(info);
  Sighting seen;
  RunResult run = Run(seen);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 259u);
  EXPECT_GE(run.elapsedMs, 7000u);
  EXPECT_NE(seen.window, nullptr) << "the window exists";
  EXPECT_EQ(seen.shownTimes, 0);
  EXPECT_EQ(seen.progressBeforeInstaller, 100) << "the progress is still set";
  EXPECT_FALSE(LogOfInstaller(log_).empty());
}
