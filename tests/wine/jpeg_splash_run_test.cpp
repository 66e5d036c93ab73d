// Real runs of Setup.exe with both "Setup.jpg" and "Setup.bmp" on the
// medium: the JPEG is the splash picture, and it is decoded when the window
// is first painted during the hand-off, not when it is loaded.
#include "SetupFiles.h"
#include "SetupRun.h"
#include "ZipWriter.h"

#include <gtest/gtest.h>

using namespace setup_test;

namespace {

std::string JpegFixture(const char* name) { return ReadBytes(std::string(JPEG_FIXTURES) + "/" + name); }

std::string MediumArchive() {
  TZipWriter zip("K470395");
  zip.Add("Deutsch.lng", LanguageFile("Deutsch", {{1000, "Titel"}, {1001, "Text"}, {1002, "Warten"}}));
  zip.Add("Setup.inf", SetupInfoFile(SetupInfo()));
  zip.Add("_inst32d.exe", ReadBytes(FixturePath(FIXTURE_TEST_INSTALLER)));
  return zip.Archive();
}

struct SplashRun {
  RunResult run;
  int width = 0, height = 0;  // of the splash window, as last seen
  DWORD firstSeenMs = 0;      // since the start of the run
  COLORREF centre = CLR_INVALID;  // on the screen, once the progress window is up
};

// Runs Setup.exe on a medium with the given "Setup.jpg" and a blue
// 200 x 100 "Setup.bmp" beside it.
SplashRun RunWithSplash(const std::string& name, const std::string& jpeg) {
  const std::string base = FreshFolder(name);
  const std::string medium = base + "\\medium";
  const std::string temp = base + "\\tmp";
  CreateDirectoryA(medium.c_str(), nullptr);
  CreateDirectoryA(temp.c_str(), nullptr);
  WriteBytes(medium + "\\XceedZip.dll", ReadBytes(FixturePath(FIXTURE_XCEEDZIP_DLL)));
  WriteBytes(medium + "\\_Setup.lib", MediumArchive());
  WriteBytes(medium + "\\Setup.jpg", jpeg);
  WriteBytes(medium + "\\Setup.bmp", JpegFixture("splash.bmp"));

  SplashRun result;
  const DWORD start = GetTickCount();
  RunOptions options;
  options.currentFolder = medium;
  options.tempFolder = temp;
  options.installerLog = base + "\\installer.log";
  options.onPoll = [&] {
    HWND splash = FindWindowA("TfrmSplashPicture", nullptr);
    if (!splash || !IsWindowVisible(splash)) return;
    if (!result.firstSeenMs) result.firstSeenMs = GetTickCount() - start;
    RECT r;
    GetWindowRect(splash, &r);
    result.width = r.right - r.left;
    result.height = r.bottom - r.top;
    HWND main = FindWindowA("TfrmMain", nullptr);
    if (!main || !IsWindowVisible(main)) return;
    HDC screen = GetDC(nullptr);
    result.centre = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ReleaseDC(nullptr, screen);
  };
  result.run = RunSetup(options);
  LogOfInstaller(options.installerLog);  // the installer runs on: let it finish first
  RemoveTree(base);
  return result;
}

}  // namespace

TEST(JpegSplashRun, JpegIsTheSplashPictureRatherThanTheBitmap) {
  SplashRun splash = RunWithSplash("setup-run-jpeg-splash", JpegFixture("splash.jpg"));
  ASSERT_TRUE(splash.run.finished);
  EXPECT_EQ(splash.run.exitCode, 259u);
  EXPECT_TRUE(splash.run.boxes.empty());
  EXPECT_GT(splash.firstSeenMs, 0u);
  EXPECT_EQ(splash.width, 160);  // the JPEG's size; the bitmap is 200 x 100
  EXPECT_EQ(splash.height, 120);
  // The JPEG's orange (230, 120, 40), not the bitmap's blue.
  ASSERT_NE(splash.centre, CLR_INVALID);
  EXPECT_NEAR(GetRValue(splash.centre), 230, 12);
  EXPECT_NEAR(GetGValue(splash.centre), 120, 12);
  EXPECT_NEAR(GetBValue(splash.centre), 40, 12);
}

TEST(JpegSplashRun, JpegThatCannotBeDecodedIsReportedAtTheFirstPaintAndTheRunGoesOn) {
  // Arithmetic coding: the header loads, the decoding at the first paint fails.
  SplashRun splash = RunWithSplash("setup-run-jpeg-arith", JpegFixture("arith.jpg"));
  ASSERT_TRUE(splash.run.finished);
  EXPECT_EQ(splash.width, 96);
  EXPECT_EQ(splash.height, 64);
  ASSERT_EQ(splash.run.boxes.size(), 1u);
  EXPECT_EQ(splash.run.boxes[0].caption, "Setup");
  EXPECT_EQ(splash.run.boxes[0].text, "JPEG-Fehler #1.");
  EXPECT_EQ(splash.run.exitCode, 259u);  // the installer was started all the same
}
