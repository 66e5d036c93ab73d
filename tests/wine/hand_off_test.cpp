// The hand-off's decisions, run in this process with the real zip component
// and a workspace in the test's temporary folder, a clock that counts
// instead of waiting, a view that records, and an end that throws.
#include "BoxWatcher.h"
#include "PlantedProgram.h"
#include "SetupMedium.h"
#include "WineTestSupport.h"

#include "app/HandOff.h"
#include "app/HandOffStop.h"
#include "runtime/core/Failures.h"
#include "runtime/core/Format.h"
#include "runtime/core/Messages.h"

#include <gtest/gtest.h>

#include <functional>

using namespace setup_test;

namespace {

struct Ended {
  unsigned exitCode;
};

class CountingClock : public THandOffClock {
public:
  void Wait(uint32_t ms) override {
    ++waits;
    total += ms;
  }
  int waits = 0;
  uint64_t total = 0;
};

class RecordingView : public THandOffView {
public:
  void Prepare(const std::string& folder) override {
    prepared = folder;
    if (onPrepare) onPrepare();
  }
  void SetProgress(int position) override { positions.push_back(position); }
  void Pump() override {}
  std::string prepared;
  std::vector<int> positions;
  std::function<void()> onPrepare;
};

class ThrowingEnd : public TProcessEnd {
public:
  [[noreturn]] void End(unsigned exitCode) override { throw Ended{exitCode}; }
};

// A gate that records what it was shown, and may act on the held file.
class RecordingGate : public TInstallerGate {
public:
  void Admit(HANDLE held, const std::string& path) const override {
    admitted = path;
    if (onAdmit) onAdmit(held, path);
  }
  mutable std::string admitted;
  std::function<void(HANDLE, const std::string&)> onAdmit;
};

// The environment variables the hand-off sets for its installer, given
// back after the test.
class SavedVariable {
public:
  explicit SavedVariable(const char* name) : name_(name) {
    char value[32768];
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    had_ = n > 0 && n < sizeof value;
    if (had_) value_.assign(value, n);
  }
  ~SavedVariable() { SetEnvironmentVariableA(name_, had_ ? value_.c_str() : nullptr); }

private:
  const char* name_;
  bool had_ = false;
  std::string value_;
};

class HandOffTest : public SetupRunTest {
protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    module_ = LoadLibraryA(FixturePath(FIXTURE_XCEEDZIP_DLL).c_str());
    ASSERT_NE(module_, nullptr);
    using Register = HRESULT(STDAPICALLTYPE*)();
    ASSERT_EQ(reinterpret_cast<Register>(GetProcAddress(module_, "DllRegisterServer"))(), S_OK);
  }
  static void TearDownTestSuite() {
    CoFreeUnusedLibraries();
    CoUninitialize();
  }

  void Medium(const ArchiveContents& contents = {}) {
    archive_ = MediumArchive(contents);
    MakeMedium(medium_, false, &archive_);
  }

  // Runs the hand-off; the exit code it ended with, or -1 when it stopped
  // with a failure (a box, the silent abort).
  long Run() {
    const SavedVariable temp("TEMP"), tmp("TMP"), log("SETUP_TEST_INSTALLER_LOG");
    SetEnvironmentVariableA("SETUP_TEST_INSTALLER_LOG", log_.c_str());
    auto workspace = std::make_unique<TWorkspace>(temp_);
    EXPECT_EQ(workspace->status(), TWorkspace::Ready);
    workspace_ = workspace->path();
    THandOff handOff({std::move(workspace), std::make_unique<TXceedZip>(), &view_, &clock_, &end_,
                      &gate_, medium_});
    try {
      handOff.Run();
    } catch (const Ended& ended) {
      return ended.exitCode;
    } catch (const Exception& failure) {
      failure_ = failure.Message();
      return -1;
    }
  }

  std::string InWorkspace(const char* name) const { return workspace_ + "\\" + name; }

  // The installer's log, once it has been written (the installer runs on
  // its own; a generous bound only guards against a hang).
  std::vector<std::string> InstallerLog(const char* suffix = "") const {
    for (int i = 0; i < 1200 && !Exists(log_ + ".env"); ++i) Sleep(50);
    return Lines(ReadBytes(log_ + suffix));
  }

  ApplicationScope application_;
  BackgroundBoxWatcher boxes_;
  CountingClock clock_;
  RecordingView view_;
  ThrowingEnd end_;
  RecordingGate gate_;
  std::string archive_, workspace_, failure_;
  static HMODULE module_;
};

HMODULE HandOffTest::module_ = nullptr;

// What the installer was given and which files it found is pinned by the
// runs of Setup.exe; here the hand-off's own steps.
TEST_F(HandOffTest, ANormalRunWorksInItsWorkspaceAndStartsTheInstallerFromThere) {
  Medium();
  EXPECT_EQ(Run(), 259);
  EXPECT_EQ(workspace_.rfind(temp_ + "\\Setup.", 0), 0u) << workspace_;
  EXPECT_EQ(view_.prepared, workspace_);
  std::vector<int> expected;
  for (int p = 0; p <= 100; ++p) expected.push_back(p);
  EXPECT_EQ(view_.positions, expected);
  EXPECT_EQ(clock_.waits, 102);
  EXPECT_EQ(clock_.total, 101u * 50 + 2000);
  EXPECT_EQ(boxes_.Count(), 0u);
  EXPECT_EQ(gate_.admitted, InWorkspace("_inst32d.exe"));
  const std::vector<std::string> started = InstallerLog();
  ASSERT_EQ(started.size(), 3u);
  EXPECT_EQ(started[0], "\"" + InWorkspace("_inst32d.exe") + "\" " + medium_);
  // The temporary folder itself got nothing but the workspace.
  EXPECT_EQ(FilesIn(Wide(temp_)).size(), FilesIn(Wide(workspace_)).size());
}

TEST_F(HandOffTest, FirstExtractionResultsDecideBoxAndExitCodeAndTheWorkspaceGoes) {
  struct Case {
    const char* what;
    bool archive;
    ArchiveContents contents;
    std::string box;  // "-": none
    long exitCode;
  };
  ArchiveContents noSetupInfo;
  noSetupInfo.setupInfo = false;
  ArchiveContents refusedOnly;  // a refused entry beside the setup information
  refusedOnly.setupInfo = false;
  refusedOnly.more = {{"../Outside.lng", "refused"}};
  const std::string archive = medium_ + "\\_Setup.lib";
  const Case cases[] = {
      {"no archive", false, {}, msg::ArchiveMissingText, 0},
      {"no setup information", true, noSetupInfo, "-", 0},
      {"a failure, no setup information", true, refusedOnly,
       Format(msg::SetupFilesFailedText, archive.c_str(), 512L), 1},
  };
  for (const Case& c : cases) {
    RemoveTree(medium_);
    if (c.archive)
      Medium(c.contents);
    else
      MakeMedium(medium_, false, nullptr);
    const size_t before = boxes_.Count();
    EXPECT_EQ(Run(), c.exitCode) << c.what;
    ASSERT_EQ(boxes_.Count(), before + (c.box == "-" ? 0 : 1)) << c.what;
    if (c.box != "-") {
      ExpectBox(boxes_.Boxes().back(), msg::ErrorCaption, c.box.c_str());
    }
    EXPECT_FALSE(Exists(workspace_)) << c.what << ": the workspace stays";
    EXPECT_TRUE(view_.prepared.empty()) << c.what;
  }
  EXPECT_FALSE(Exists(base_ + "\\Outside.lng"));
}

TEST_F(HandOffTest, AFailureWithTheSetupInformationOutShowsItsBoxAndTheRunGoesOnToTheStop) {
  // The refused entry comes again in the second extraction: it stops there.
  ArchiveContents contents;
  contents.more = {{"../Outside.lng", "refused"}};
  Medium(contents);
  EXPECT_EQ(Run(), -1);
  ASSERT_EQ(boxes_.Count(), 2u);
  EXPECT_EQ(boxes_.Boxes()[0].text, Format(msg::SetupFilesFailedText,
                                           (medium_ + "\\_Setup.lib").c_str(), 512L));
  EXPECT_EQ(view_.prepared, workspace_);
  EXPECT_EQ(boxes_.Boxes()[1].text,
            Format(msg::ExtractFailedText, InWorkspace("_inst32d.exe").c_str(),
                   InWorkspace("_Setup.lib").c_str(), 512L));
  EXPECT_FALSE(Exists(workspace_));
  EXPECT_FALSE(Exists(log_)) << "no installer ran";
}

TEST_F(HandOffTest, StopsAfterTheWindowCameUpNameWhatFailedAndLeaveNothing) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::function<std::string()> box;
  };
  const Case cases[] = {
      {"the disc was taken out before the copy",
       [this] { view_.onPrepare = [this] { RemoveFile(medium_ + "\\_Setup.lib"); }; },
       [this] {
         return Format(msg::CopyFailedText, (medium_ + "\\_Setup.lib").c_str(),
                       InWorkspace("_Setup.lib").c_str());
       }},
      {"no installer in the archive",
       [this] { Medium({true, true, false}); },
       [this] {
         return Format(msg::NotExtractedText, InWorkspace("_inst32d.exe").c_str(),
                       InWorkspace("_Setup.lib").c_str());
       }},
      {"a damaged installer entry",
       [this] {
         std::string damaged = archive_;
         damaged[damaged.find("_inst32d.exe") + 12 + 12 + 2000] ^= 0x55;
         ASSERT_TRUE(WriteBytes(medium_ + "\\_Setup.lib", damaged));
       },
       [this] {
         return Format(msg::ExtractFailedText, InWorkspace("_inst32d.exe").c_str(),
                       InWorkspace("_Setup.lib").c_str(), 511L);
       }},
      {"an installer that is no program",
       [this] { Medium({true, true, true, "no program"}); },
       [this] {
         return Format(msg::StartFailedText, InWorkspace("_inst32d.exe").c_str());
       }},
  };
  for (const Case& c : cases) {
    RemoveTree(medium_);
    Medium();
    view_.onPrepare = nullptr;
    c.arrange();
    const size_t before = boxes_.Count();
    EXPECT_EQ(Run(), -1) << c.what;
    ASSERT_EQ(boxes_.Count(), before + 1) << c.what;
    // The result code of a damaged entry may be either of two.
    const std::string expected = c.box();
    const size_t cut = expected.find("(Fehler ");
    ExpectBox(boxes_.Boxes().back(), msg::ErrorCaption, nullptr);
    EXPECT_EQ(boxes_.Boxes().back().text.substr(0, cut), expected.substr(0, cut)) << c.what;
    EXPECT_FALSE(Exists(workspace_)) << c.what;
  }
  EXPECT_FALSE(Exists(log_)) << "no installer ran";
}

TEST_F(HandOffTest, TheInstallerCannotBeReplacedOrRenamedWhileTheGateLooksAtIt) {
  Medium();
  bool replaced = true;
  gate_.onAdmit = [&](HANDLE, const std::string& path) {
    replaced = WriteBytes(path, PlantedProgramBytes()) ||
               MoveFileExA(path.c_str(), (path + ".old").c_str(), 0);
  };
  EXPECT_EQ(Run(), 259);
  EXPECT_FALSE(replaced);
  EXPECT_EQ(ReadBytes(InWorkspace("_inst32d.exe")), InstallerBytes());
  EXPECT_FALSE(PlantedProgramRan(workspace_));
}

TEST_F(HandOffTest, ALongTemporaryFolderWorksWhileTheWorkspaceFitsElseTheRunNamesIt) {
  const SavedVariable temp("TEMP"), tmp("TMP");
  std::string folder = temp_;
  while (folder.size() < 180) folder += "\\" + std::string(std::min<size_t>(40, 180 - folder.size() - 1), 'l');
  ASSERT_EQ(folder.size(), 180u);
  SetEnvironmentVariableA("TMP", folder.c_str());
  SetEnvironmentVariableA("TEMP", folder.c_str());
  EXPECT_EQ(HandOffTempFolder(base_), folder) << "made with its parents";
  EXPECT_EQ(TWorkspace(folder).status(), TWorkspace::Ready);

  const std::string tooLong = folder + "\\" + std::string(265 - folder.size() - 1, 'm');
  ASSERT_EQ(tooLong.size(), 265u);
  SetEnvironmentVariableA("TMP", tooLong.c_str());
  SetEnvironmentVariableA("TEMP", tooLong.c_str());
  EXPECT_THROW(HandOffTempFolder(base_), EAbort);
  ASSERT_EQ(boxes_.Count(), 1u);
  // The name as the platform gives it (with its trailing backslash, when
  // it gives one at all).
  const std::string text = boxes_.Boxes()[0].text;
  EXPECT_EQ(text.substr(0, text.find(tooLong)),
            std::string(Format(msg::TempFolderTooLongText, "")).substr(0, text.find(tooLong)));
  EXPECT_NE(text.find(tooLong), std::string::npos) << text;
}

}  // namespace
