// Runs of the real Setup.exe that meet another run: one run per temporary
// folder. The first run is held (its thread suspended) while a second one
// runs, so that every second run provably meets a first run that holds the
// folder, however busy the machine; the outcome is judged by exit codes,
// installer starts and windows, never by time.
#include "PictureFiles.h"
#include "SetupMedium.h"
#include "SetupRun.h"

#include "app/SingleRun.h"
#include "runtime/core/Messages.h"
#include "app/core/MediumNames.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace setup_test;
namespace pw = picture_writer;

namespace {

// The run mutex of a temporary folder, opened (not taken) when it exists.
UniqueKernelObject OpenRunMutex(const std::string& tempFolder) {
  return UniqueKernelObject(
      OpenMutexW(SYNCHRONIZE, FALSE, SingleRunMutexName(FolderKey(Wide(tempFolder))).c_str()));
}

// Holds a process's main thread while a scope runs.
class Suspension {
public:
  explicit Suspension(HANDLE thread) : thread_(thread) { SuspendThread(thread_); }
  ~Suspension() { ResumeThread(thread_); }
  Suspension(const Suspension&) = delete;
  Suspension& operator=(const Suspension&) = delete;
private:
  HANDLE thread_;
};

bool Running(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

BOOL CALLBACK CountWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<std::pair<DWORD, int>*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == search->first) ++search->second;
  return TRUE;
}

// Top-level windows of a process, shown or not.
int WindowsOf(DWORD processId) {
  std::pair<DWORD, int> search{processId, 0};
  EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

HWND VisibleForm(const char* className) {
  HWND window = FindWindowA(className, nullptr);
  return window && IsWindowVisible(window) ? window : nullptr;
}

class SingleRunTest : public SetupRunTest {
protected:
  void SetUp() override {
    SetupRunTest::SetUp();
    const std::string archive = MediumArchive({});
    MakeMedium(medium_, true, &archive);
    pw::Bmp picture;
    picture.width = 64;
    picture.height = 32;
    picture.pixels = pw::Rows(64, 32, 24, false, [](int, int) { return 0x336699u; });
    const pw::Bytes bmp = pw::Write(picture);
    ASSERT_TRUE(WriteBytes(InMedium(std::string(medium::kSplashBaseName) + ".bmp"),
                           std::string(bmp.begin(), bmp.end())));
  }
  std::string InMedium(const std::string& name) const { return medium_ + "\\" + name; }

  // A folder of base_, made.
  std::string Folder(const std::string& name) const {
    const std::string folder = base_ + "\\" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
  }

  // A run from the medium's folder; its installer logs its starts to log.
  // onStart keeps the process's handles for the test.
  RunOptions Run(const std::string& temp, const std::string& log) {
    RunOptions options;
    options.currentFolder = medium_;
    options.tempFolder = temp;
    options.installerLog = log;
    options.onStart = [this](const PROCESS_INFORMATION& p) { started_ = p; };
    return options;
  }

  // A run that must end at once: it records whether it ever had a window.
  RunResult SecondRun(const std::string& temp, const std::string& log, bool& hadWindow) {
    RunOptions options = Run(temp, log);
    DWORD processId = 0;
    options.onStart = [&](const PROCESS_INFORMATION& p) { processId = p.dwProcessId; };
    options.onPoll = [&] { hadWindow = hadWindow || WindowsOf(processId) > 0; };
    return RunSetup(options);
  }

  // Installer starts recorded in a log: records whose argument is the medium.
  int StartsIn(const std::string& log) const {
    const std::vector<std::string> lines = Lines(ReadBytes(log));
    return static_cast<int>(std::count(lines.begin(), lines.end(), medium_));
  }

  PROCESS_INFORMATION started_ = {};
};

}  // namespace

TEST(SingleRunKey, OneFolderSpelledInOtherCaseOrFormGivesOneMutexAndAnotherFolderAnother) {
  const std::wstring key = FolderKey(L"C:\\Temp\\Setup Ä");
  EXPECT_EQ(SingleRunMutexName(key), L"Local\\Setup.Run C:/TEMP/SETUP Ä");
  for (const wchar_t* same : {L"c:\\temp\\setup ä\\", L"C:/TEMP/x/../Setup ä", L"C:\\TEMP\\.\\SETUP Ä"})
    EXPECT_EQ(SingleRunMutexName(FolderKey(same)), SingleRunMutexName(key)) << same;
  EXPECT_NE(SingleRunMutexName(FolderKey(L"C:\\Temp\\Setup A")), SingleRunMutexName(key));
  EXPECT_NE(SingleRunHolderName(key), SingleRunMutexName(key));
}

TEST_F(SingleRunTest, SecondStartShowsNothingEndsWith0AndBringsTheFirstRunsWindowToTheFront) {
  const std::string temp = Folder("tmp");
  const std::string log = base_ + "\\installer.log";
  // Two second runs: one as soon as the first holds the folder (nothing of
  // it is on screen yet), one while its progress window is up and its
  // splash window has been made the foreground window. The first spells the
  // folder in capitals with a trailing backslash.
  std::string tempInCapitals = temp + "\\";
  CharUpperA(&tempInCapitals[0]);
  RunResult early, late;
  bool earlyDone = false, lateDone = false;
  bool earlyWindow = false, lateWindow = false;
  bool firstRanOnAfterEarly = false, firstRanOnAfterLate = false;
  bool progressActivated = false, splashMadeForeground = false, progressBroughtToFront = false;
  HWND progress = nullptr;
  RunOptions first = Run(temp, log);
  first.onPoll = [&] {
    if (!earlyDone) {
      // Its hidden application window is what tells a second start that
      // a run of Setup holds the folder.
      if (!OpenRunMutex(temp) || !WindowOf(started_.dwProcessId, "TApplication")) return;
      earlyDone = true;
      Suspension held(started_.hThread);
      early = SecondRun(tempInCapitals, log, earlyWindow);
      firstRanOnAfterEarly = Running(started_.hProcess);
      return;
    }
    HWND splash = VisibleForm("TfrmSplashPicture");
    if (!lateDone) {
      progress = VisibleForm("TfrmMain");
      if (!progress || !splash) return;
      // The run's own activation of its progress window comes first (Wine
      // completes it when the run pumps); only then is the splash made the
      // foreground window from here.
      if (!progressActivated) {
        progressActivated = GetForegroundWindow() == progress;
        return;
      }
      if (GetForegroundWindow() != splash) {
        SetForegroundWindow(splash);  // it takes effect when the run pumps
        return;
      }
      splashMadeForeground = lateDone = true;
      Suspension held(started_.hThread);
      late = SecondRun(temp, log, lateWindow);
      firstRanOnAfterLate = Running(started_.hProcess);
      return;
    }
    progressBroughtToFront = progressBroughtToFront || GetForegroundWindow() == progress;
  };
  const RunResult run = RunSetup(first);

  EXPECT_TRUE(RanToTheInstaller(run));
  EXPECT_EQ(StartsIn(log), 1);
  ASSERT_TRUE(earlyDone && lateDone);
  for (const RunResult* second : {&early, &late}) {
    EXPECT_TRUE(Ended(*second));
    EXPECT_EQ(second->exitCode, 0u);
    EXPECT_TRUE(second->boxes.empty());
  }
  EXPECT_FALSE(earlyWindow);
  EXPECT_FALSE(lateWindow);
  EXPECT_TRUE(firstRanOnAfterEarly && firstRanOnAfterLate) << "the second runs waited for the first";
  EXPECT_TRUE(splashMadeForeground);
  EXPECT_TRUE(progressBroughtToFront);
}

TEST_F(SingleRunTest, RunAfterAKilledRunGoesOnNormallyAndARunWithAnotherFolderDoesNotWait) {
  const std::string temp = Folder("tmp"), otherTemp = Folder("other tmp");
  const std::string log = base_ + "\\installer.log", otherLog = base_ + "\\other.log";
  // The test keeps the mutex open, so the killed run leaves it abandoned
  // rather than gone.
  UniqueKernelObject mutex;
  RunOptions first = Run(temp, log);
  first.onPoll = [&] {
    if (!mutex) mutex = OpenRunMutex(temp);
    const std::string workspace = WorkspaceIn(temp);
    if (mutex && !workspace.empty() && Exists(workspace + "\\" + medium::kSetupInfoFile))
      TerminateProcess(started_.hProcess, 99);
  };
  const RunResult killed = RunSetup(first);
  ASSERT_EQ(killed.exitCode, 99u);
  ASSERT_TRUE(mutex);

  // While the next run holds its folder (its application window is up: it
  // took the abandoned mutex), a run with another folder goes through.
  RunResult other;
  bool otherDone = false;
  RunOptions next = Run(temp, log);
  next.onPoll = [&] {
    if (otherDone || !WindowOf(started_.dwProcessId, "TApplication")) return;
    otherDone = true;
    Suspension held(started_.hThread);
    other = RunSetup(Run(otherTemp, otherLog));
  };
  const RunResult run = RunSetup(next);
  EXPECT_TRUE(RanToTheInstaller(run));
  EXPECT_EQ(StartsIn(log), 1);
  EXPECT_FALSE(WorkspaceIn(temp).empty()) << "the killed run's workspace is gone, the new one kept";
  ASSERT_TRUE(otherDone);
  EXPECT_TRUE(RanToTheInstaller(other));
  EXPECT_EQ(StartsIn(otherLog), 1);
}

TEST_F(SingleRunTest, ANameHeldByAnotherProgramOrAnotherKindOfObjectStopsWithABox) {
  const std::string temp = Folder("tmp");
  const std::string log = base_ + "\\installer.log";
  const std::wstring name = SingleRunMutexName(FolderKey(Wide(temp)));
  for (const char* text : {msg::RunNotFoundText, msg::RunNameTakenText}) {
    const bool mutex = text == msg::RunNotFoundText;
    const UniqueKernelObject object(mutex ? CreateMutexW(nullptr, TRUE, name.c_str())
                                          : CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    ASSERT_TRUE(object);
    const RunResult run = RunSetup(Run(temp, log));
    EXPECT_EQ(run.exitCode, 1u);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, msg::ErrorCaption);
    EXPECT_EQ(run.boxes[0].text, text);
    EXPECT_EQ(StartsIn(log), 0);
    if (mutex) ReleaseMutex(object.get());
  }
}
