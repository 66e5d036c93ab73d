// The progress window in runs of the real Setup.exe: it comes up once,
// centred at the size the measured text height gives, with its three texts
// drawn in their fonts and colours, and its bar reaches 100 before the
// installer starts. A silent run never shows it but takes the full time.
#include "Pixels.h"
#include "SetupMedium.h"
#include "ui/controls/Font.h"
#include "ui/core/MulDiv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <memory>

using namespace setup_test;

namespace {

struct Sighting {
  HWND window = nullptr;
  int shownTimes = 0;
  bool wasVisible = false;
  RECT firstShown = {};
  int progressBeforeInstaller = -1;  // last read while the installer had not run
  std::unique_ptr<PixelCanvas> shot;
};

void Observe(Sighting& s, DWORD processId, const std::string& installerLog) {
  if (!s.window) s.window = WindowOf(processId, "TfrmMain");
  if (!s.window) return;
  RECT r;
  const bool visible = VisibleRect(s.window, &r);
  if (visible && !s.wasVisible && ++s.shownTimes == 1) s.firstShown = r;
  s.wasVisible = visible;
  const int progress = ProgressOf(s.window);
  if (progress >= 0 && !Exists(installerLog)) s.progressBeforeInstaller = progress;
  if (visible && !s.shot && progress >= 40) {
    auto shot = std::make_unique<PixelCanvas>(r.right - r.left, r.bottom - r.top);
    shot->CaptureScreen(r.left, r.top);
    // Kept only when the window was still there after the capture.
    RECT after;
    if (VisibleRect(s.window, &after) && ProgressOf(s.window) >= 0) s.shot = std::move(shot);
  }
}

// How a label's text looks in the program's window, drawn by this process
// with the font the label asks for: the layout's font scaled by the
// measured text height h.
struct LabelLook {
  const char* face;
  int height;
  bool bold;
  COLORREF color, background;
  int left, top, width, height_;  // the label's box in design coordinates
  UINT format;
};

// The least number of pixels that differ between the label's box in the
// shot and the reference, over small shifts (the scaled layout rounds each
// parent's offset on its own).
int DifferingPixels(const PixelCanvas& shot, int h, const LabelLook& look, const std::string& text) {
  auto scaled = [h](int v) { return MulDivRound(v, h, 16); };
  const int width = scaled(look.width), height = scaled(look.height_);
  PixelCanvas reference(width, height, look.background);
  UniqueFont font(CreateFontA(scaled(look.height), 0, 0, 0, look.bold ? FW_BOLD : FW_NORMAL, 0, 0,
                              0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              DEFAULT_QUALITY, FIXED_PITCH, look.face));
  SelectionGuard selected(reference.dc(), font.get());
  SetBkMode(reference.dc(), TRANSPARENT);
  SetTextColor(reference.dc(), look.color);
  RECT box = {0, 0, width, height};
  DrawTextA(reference.dc(), text.c_str(), -1, &box, look.format | DT_LEFT | DT_EXPANDTABS);
  int least = width * height;
  for (int dy = -3; dy <= 3; ++dy)
    for (int dx = -3; dx <= 3; ++dx) {
      const int left = scaled(look.left) + dx, top = scaled(look.top) + dy;
      if (left < 0 || top < 0 || left + width > shot.width() || top + height > shot.height()) continue;
      int differing = 0;
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          if (reference.At(x, y) != shot.At(left + x, top + y)) ++differing;
      least = std::min(least, differing);
    }
  return least;
}

class ProgressRun : public SetupRunTest {
protected:
  void MakeMediumWith(const SetupInfo& info) {
    ArchiveContents contents;
    contents.info = info;
    contents.germanTexts = {{1000, "Installation von %PRODUKTNAME%"},
                            {1001, "%PRODUKTNAME% %PRODUKTVERSION% wird f\xFCr die "
                                   "Installation vorbereitet."},
                            {1002, "Bitte warten Sie einen Moment ..."}};
    const std::string archive = MediumArchive(contents);
    MakeMedium(medium_, true, &archive);
  }

  RunResult Run(Sighting& sighting) {
    RunOptions options = FromTheMedium();
    options.watch = [&](DWORD processId) { Observe(sighting, processId, log_); };
    return RunSetup(options);
  }
};

}  // namespace

TEST_F(ProgressRun, WindowComesUpOnceCentredWithItsTextsAndTheBarReaches100First) {
  MakeMediumWith(SetupInfo());
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
  EXPECT_EQ(InstallerStarts(log_), std::vector<std::string>{"4"}) << "once, SW_SHOWNOACTIVATE";

  // The three labels in their fonts and colours: the title bold "MS Sans
  // Serif" 11 in the window text colour on the white head, the body and
  // the wait text "Arial" 12 in black, the body wrapped in its box.
  ASSERT_TRUE(seen.shot);
  const COLORREF white = RGB(255, 255, 255), face = GetSysColor(COLOR_BTNFACE);
  const LabelLook title{"MS Sans Serif", -11, true, GetSysColor(COLOR_WINDOWTEXT), white,
                        24, 16, 270, 14, 0};
  const LabelLook body{"Arial", -12, false, RGB(0, 0, 0), white, 39, 32, 267, 32,
                       DT_WORDBREAK | DT_NOPREFIX};
  const LabelLook wait{"Arial", -12, false, RGB(0, 0, 0), face, 31, 97, 270, 14, 0};
  const int differing[] = {
      DifferingPixels(*seen.shot, h, title, "Installation von %PRODUKTNAME%"),
      DifferingPixels(*seen.shot, h, body, "Demo Produkt 1.0 wird f\xFCr die Installation vorbereitet."),
      DifferingPixels(*seen.shot, h, wait, "Bitte warten Sie einen Moment ...")};
  EXPECT_EQ(differing[0], 0) << "title";
  EXPECT_EQ(differing[1], 0) << "body";
  EXPECT_EQ(differing[2], 0) << "wait text";
  if (HasFailure()) {
    seen.shot->Save("progress_window_run.bmp");
    std::cout << "screenshot: progress_window_run.bmp (text height " << h << ")\n";
  }
}

TEST_F(ProgressRun, ASilentRunNeverShowsTheWindowButTakesTheFullTime) {
  SetupInfo info;
  info.silent = true;
  MakeMediumWith(info);
  Sighting seen;
  RunResult run = Run(seen);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 259u);
  EXPECT_GE(run.elapsedMs, 7000u);
  EXPECT_NE(seen.window, nullptr) << "the window exists";
  EXPECT_EQ(seen.shownTimes, 0);
  EXPECT_EQ(seen.progressBeforeInstaller, 100) << "the progress is still set";
  EXPECT_EQ(InstallerStarts(log_).size(), 1u);
}
