// Files planted in the temporary folder by another program of the user, held
// open so that Setup can neither remove nor replace them: Setup never starts
// a planted program; it stops with one "Fehler" box and exit code 1, and a
// genuine run in the same folder works once the files are let go.
#include "FileHolder.h"
#include "SetupMedium.h"
#include "runtime/core/Format.h"
#include "runtime/core/Messages.h"

#include <gtest/gtest.h>

#include <regex>

using namespace setup_test;

namespace {

class PlantedFiles : public SetupRunTest {
protected:
  void SetUp() override {
    SetupRunTest::SetUp();
    archive_ = MediumArchive({});
    MakeMedium(medium_, true, &archive_);
  }

  RunResult Run() {
    RunOptions options = MediumAsArgument(medium_, temp_);
    options.installerLog = log_;
    return RunSetup(options);
  }

  std::string InTemp(const char* name) const { return temp_ + "\\" + name; }

  // The run stopped with exactly one box, "Fehler", OK only, that text.
  static void ExpectStopped(const RunResult& run, const std::string& text) {
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1u);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, "Fehler");
    EXPECT_EQ(run.boxes[0].text, text);
    EXPECT_TRUE(run.boxes[0].hasOk);
    EXPECT_FALSE(run.boxes[0].hasCancel);
  }

  // A stopped run started no installer.
  void ExpectNoInstallerStarted() {
    EXPECT_EQ(ReadBytes(log_), "") << "an installer was started";
    EXPECT_FALSE(PlantedProgramRan(temp_));
  }

  // After the planted files are let go, a genuine run in the same folder
  // starts this medium's installer.
  void ExpectGenuineRunWorks() {
    RunResult run = Run();
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 259u);
    EXPECT_TRUE(run.boxes.empty());
    std::vector<std::string> lines = Lines(ReadBytes(log_));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "\"" + InTemp("_inst32d.exe") + "\" " + medium_);
    EXPECT_EQ(ReadBytes(InTemp("_inst32d.exe")), InstallerBytes());
    EXPECT_FALSE(PlantedProgramRan(temp_)) << "the planted program ran";
  }

  std::string archive_;
};

}  // namespace

TEST_F(PlantedFiles, AnInstallerHeldWithoutDeleteSharingIsNeverStarted) {
  // Held for reading, sharing reading only: it cannot be removed or
  // replaced, but it could still be started.
  ASSERT_TRUE(WriteBytes(InTemp("_inst32d.exe"), PlantedProgramBytes()));
  HeldFiles held({InTemp("_inst32d.exe")}, "r", "r");
  ASSERT_TRUE(held.Holding());

  RunResult run = Run();
  ExpectStopped(run, Format(msg::LeftoverText, InTemp("_inst32d.exe").c_str()));
  ExpectNoInstallerStarted();

  held.Release();
  ExpectGenuineRunWorks();
}

TEST_F(PlantedFiles, ASetupInformationHeldWithoutDeleteSharingStopsBeforeTheFirstExtraction) {
  ASSERT_TRUE(WriteBytes(InTemp("setup.inf"), "planted"));
  HeldFiles held({InTemp("setup.inf")}, "r", "rw");
  ASSERT_TRUE(held.Holding());

  RunResult run = Run();
  ExpectStopped(run, Format(msg::LeftoverText, InTemp("setup.inf").c_str()));
  EXPECT_FALSE(Exists(InTemp("Deutsch.lng"))) << "nothing is extracted";
  ExpectNoInstallerStarted();

  held.Release();
  ExpectGenuineRunWorks();
}

TEST_F(PlantedFiles, AnArchiveCopyHeldWithoutWriteSharingIsNeverRead) {
  // The planted archive holds the planted program as "_inst32d.exe". Held
  // without write sharing (deleting is shared): the copy cannot replace it.
  TZipWriter zip(medium::kArchivePassword);
  zip.Add("_inst32d.exe", PlantedProgramBytes());
  ASSERT_TRUE(WriteBytes(InTemp("_Setup.lib"), zip.Archive()));
  HeldFiles held({InTemp("_Setup.lib")}, "r", "rd");
  ASSERT_TRUE(held.Holding());

  RunResult run = Run();
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 1u);
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].caption, "Fehler");
  // Removing it may be accepted (the name goes when the holder lets go);
  // then the copy fails.
  const std::string copy = InTemp("_Setup.lib");
  EXPECT_TRUE(run.boxes[0].text == Format(msg::LeftoverText, copy.c_str()) ||
              run.boxes[0].text ==
                  Format(msg::CopyFailedText, (medium_ + "\\_Setup.lib").c_str(), copy.c_str()))
      << run.boxes[0].text;
  ExpectNoInstallerStarted();

  held.Release();
  ExpectGenuineRunWorks();
}

TEST_F(PlantedFiles, AnArchiveThatHasGoneBeforeTheCopyStopsTheRun) {
  // The disc is taken out once the setup information is there; the copy
  // comes about 2.5 s later.
  bool removed = false;
  bool afterTheCopy = false;
  RunOptions options = MediumAsArgument(medium_, temp_);
  options.installerLog = log_;
  options.onPoll = [&] {
    if (removed || !Exists(InTemp("setup.inf"))) return;
    afterTheCopy = Exists(InTemp("_Setup.lib"));
    removed = DeleteFileA((medium_ + "\\_Setup.lib").c_str()) != FALSE;
  };
  RunResult run = RunSetup(options);
  ASSERT_TRUE(removed);
  if (afterTheCopy) GTEST_SKIP() << "the archive went only after the copy";

  ExpectStopped(run, Format(msg::CopyFailedText, (medium_ + "\\_Setup.lib").c_str(),
                            InTemp("_Setup.lib").c_str()));
  EXPECT_FALSE(Exists(InTemp("_inst32d.exe")));
  ExpectNoInstallerStarted();

  ASSERT_TRUE(WriteBytes(medium_ + "\\_Setup.lib", archive_));
  ExpectGenuineRunWorks();
}

TEST_F(PlantedFiles, TheExtractedInstallerCannotBeReplacedBeforeItIsStarted) {
  // Every poll tries to move the installer away or to copy the planted
  // program over it. The run holds it from just after its extraction until
  // it is started (about 4.5 s); only in the instant between the
  // component's closing of the file and the run's hold can a move succeed,
  // and the run must then stop without starting anything. (A move after
  // the start, before the installer has logged, is harmless.)
  ASSERT_TRUE(WriteBytes(base_ + "\\planted.exe", PlantedProgramBytes()));
  int movedBeforeStart = 0, attempts = 0;
  RunOptions options = MediumAsArgument(medium_, temp_);
  options.installerLog = log_;
  options.onPoll = [&] {
    if (!Exists(InTemp("_inst32d.exe")) || Exists(log_)) return;
    ++attempts;
    if (MoveFileExA(InTemp("_inst32d.exe").c_str(), InTemp("moved.exe").c_str(), 0))
      movedBeforeStart += !Exists(log_);
    else
      CopyFileA((base_ + "\\planted.exe").c_str(), InTemp("_inst32d.exe").c_str(), FALSE);
  };
  RunResult run = RunSetup(options);

  EXPECT_FALSE(PlantedProgramRan(temp_)) << "the planted program ran";
  if (run.exitCode == 1 && movedBeforeStart > 0) {
    ExpectStopped(run, Format(msg::NotExtractedText, InTemp("_inst32d.exe").c_str(),
                              InTemp("_Setup.lib").c_str()));
    ExpectNoInstallerStarted();
    return;
  }
  EXPECT_GT(attempts, 0) << "no poll saw the extracted installer";
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 259u);
  EXPECT_TRUE(run.boxes.empty());
  std::vector<std::string> lines = Lines(ReadBytes(log_));
  ASSERT_EQ(lines.size(), 3u) << "the genuine installer did not run";
  EXPECT_EQ(lines[2], medium_);
}

TEST_F(PlantedFiles, ADamagedInstallerEntryStopsTheRun) {
  // One byte of the installer's data changed: the second extraction fails.
  std::string damaged = archive_;
  const size_t header = damaged.find("_inst32d.exe");
  ASSERT_NE(header, std::string::npos);
  damaged[header + 12 + 12 + 2000] ^= 0x55;
  ASSERT_TRUE(WriteBytes(medium_ + "\\_Setup.lib", damaged));

  RunResult run = Run();
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 1u);
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].caption, "Fehler");
  const std::string expected = Format(msg::ExtractFailedText, InTemp("_inst32d.exe").c_str(),
                                      InTemp("_Setup.lib").c_str(), 0L);
  const std::string prefix = expected.substr(0, expected.find("(Fehler ") + 8);
  EXPECT_EQ(run.boxes[0].text.substr(0, prefix.size()), prefix);
  EXPECT_TRUE(std::regex_search(run.boxes[0].text, std::regex("\\(Fehler 51[01]\\)!$")))
      << run.boxes[0].text;
  EXPECT_FALSE(Exists(InTemp("_inst32d.exe")));
  ExpectNoInstallerStarted();
}

TEST_F(PlantedFiles, AnInstallerThatCannotBeStartedStopsTheRun) {
  const std::string archive = MediumArchive({true, true, true, "no program"});
  ASSERT_TRUE(WriteBytes(medium_ + "\\_Setup.lib", archive));

  RunResult run = Run();
  ExpectStopped(run, Format(msg::StartFailedText, InTemp("_inst32d.exe").c_str()));
}
