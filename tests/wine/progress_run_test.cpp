// The progress window in runs of the real Setup.exe: it comes up once,
// centred at the size the measured text height gives, with its three texts
// drawn in their fonts and colours, and its bar reaches 100 before the
// installer starts; a screen reader in another process reads it and hears
// every step. A silent run never shows it but takes the full time.
#include "Accessible.h"
#include "Pixels.h"
#include "SetupMedium.h"
#include "WineTestSupport.h"
#include "app/Main.h"
#include "ui/controls/Font.h"
#include "ui/core/MulDiv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
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

// What a client in another process saw of the window during a run.
struct Reading {
  static Reading* current;  // the one the event hook counts into
  HWND window = nullptr;
  ComPtr<IAccessible> object;
  std::vector<int> values;  // the bar's values as read, repeats left out
  bool looked = false;      // names and roles read once the texts were set
  std::wstring name, description, childNames[3];
  LONG childCount = -1, roles[4] = {-1, -1, -1, -1};
  int valueChanges = 0, nameChanges[4] = {};

  void Poll(DWORD processId) {
    if (!window) window = WindowOf(processId, TfrmMain::kClassName);
    if (!window) return;
    if (!object) object = ClientObject(window);
    if (!object) return;
    int percent = -1;
    if (swscanf(Value(object.get(), kChildBar).c_str(), L"%d%%", &percent) != 1) return;
    if (values.empty() || values.back() != percent) values.push_back(percent);
    if (looked || percent < 1) return;
    looked = true;
    name = Name(object.get(), CHILDID_SELF);
    description = Description(object.get());
    for (LONG id = kChildTitle; id <= kChildWait; ++id) childNames[id - 1] = Name(object.get(), id);
    object->get_accChildCount(&childCount);
    for (LONG id = kChildTitle; id <= kChildBar; ++id) roles[id - 1] = RoleOf(object.get(), id);
  }

  static void CALLBACK Count(HWINEVENTHOOK, DWORD event, HWND, LONG objectId, LONG child, DWORD,
                             DWORD) {
    if (objectId != OBJID_CLIENT) return;
    if (event == EVENT_OBJECT_VALUECHANGE && child == kChildBar) ++current->valueChanges;
    if (event == EVENT_OBJECT_NAMECHANGE && child >= kChildTitle && child <= kChildWait)
      ++current->nameChanges[child];
  }
};
Reading* Reading::current = nullptr;

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

TEST_F(ProgressRun, WindowComesUpOnceCentredWithItsTextsReadAloudAndTheBarReaches100First) {
  MakeMediumWith(SetupInfo());
  Sighting seen;
  const ComApartment com;
  Reading read;
  Reading::current = &read;
  HWINEVENTHOOK hook = nullptr;
  RunOptions options = FromTheMedium();
  options.onStart = [&](const PROCESS_INFORMATION& process) {
    hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr,
                           &Reading::Count, process.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
  };
  options.watch = [&](DWORD processId) {
    Observe(seen, processId, log_);
    read.Poll(processId);
  };
  RunResult run = RunSetup(options);
  if (hook) UnhookWinEvent(hook);
  ASSERT_TRUE(RanToTheInstaller(run));
  ASSERT_NE(hook, nullptr);

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

  // A screen reader in another process: the window named by its title and
  // described by its body, the children as drawn, the bar's value rising
  // step by step to 100 (what a poll sees of it), one value change per step
  // (101 steps) and a name change per text.
  const std::wstring titleRead = L"Installation von %PRODUKTNAME%";
  const std::wstring bodyRead = L"Demo Produkt 1.0 wird f\u00fcr die Installation vorbereitet.";
  ASSERT_TRUE(read.looked) << "the bar's value was never read past 0";
  EXPECT_EQ(read.name, titleRead);
  EXPECT_EQ(read.description, bodyRead);
  EXPECT_EQ(std::vector<std::wstring>(read.childNames, read.childNames + 3),
            (std::vector<std::wstring>{titleRead, bodyRead, L"Bitte warten Sie einen Moment ..."}));
  EXPECT_EQ(read.childCount, 4);
  EXPECT_EQ(std::vector<LONG>(read.roles, read.roles + 4),
            std::vector<LONG>({ROLE_SYSTEM_STATICTEXT, ROLE_SYSTEM_STATICTEXT,
                               ROLE_SYSTEM_STATICTEXT, ROLE_SYSTEM_PROGRESSBAR}));
  std::string values;
  for (int v : read.values) values += std::to_string(v) + " ";
  ASSERT_GE(read.values.size(), 2u) << values;
  EXPECT_TRUE(std::is_sorted(read.values.begin(), read.values.end())) << values;
  EXPECT_EQ(read.values.back(), 100) << values;
  EXPECT_GE(read.valueChanges, 51);
  EXPECT_LE(read.valueChanges, 101);
  for (LONG id = kChildTitle; id <= kChildWait; ++id) EXPECT_GE(read.nameChanges[id], 1) << id;

  // The object went with the process: a call fails as the platform's
  // proxies fail (Wine: the server is unavailable), nothing crashes.
  UniqueBstr text;
  const HRESULT after = read.object->get_accName(Child(CHILDID_SELF), text.put());
  EXPECT_TRUE(after == RPC_E_DISCONNECTED || after == CO_E_OBJNOTCONNECTED ||
              after == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE))
      << std::hex << after;
}

TEST_F(ProgressRun, ASilentRunNeverShowsTheWindowButTakesTheFullTime) {
  SetupInfo info;
  info.silent = true;
  MakeMediumWith(info);
  Sighting seen;
  RunResult run = Run(seen);
  ASSERT_TRUE(RanToTheInstaller(run));
  EXPECT_GE(run.elapsedMs, 7000u);
  EXPECT_NE(seen.window, nullptr) << "the window exists";
  EXPECT_EQ(seen.shownTimes, 0);
  EXPECT_EQ(seen.progressBeforeInstaller, 100) << "the progress is still set";
  EXPECT_EQ(InstallerStarts(log_).size(), 1u);
}
