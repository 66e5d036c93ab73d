// Test media for runs of the real Setup.exe: the archive "_Setup.lib" with
// the setup information (written from the program's own description of
// it), language files and the installer stand-in, and a medium folder
// holding it beside the component; a test fixture with a fresh folder of
// its own for each test.
#pragma once

#include "SetupFiles.h"
#include "SetupRun.h"
#include "ZipWriter.h"
#include "app/core/MediumNames.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace setup_test {

inline std::string InstallerBytes() { return ReadBytes(FixturePath(FIXTURE_TEST_INSTALLER)); }
inline std::string ComponentBytes() { return ReadBytes(FixturePath(FIXTURE_XCEEDZIP_DLL)); }

struct ArchiveContents {
  bool setupInfo = true;
  bool languages = true;  // "Deutsch.lng" and "English.lng"
  bool installer = true;
  std::string installerBytes = InstallerBytes();
  SetupInfo info;
  std::map<int32_t, std::string> germanTexts = {{1000, "Titel"}, {1001, "Text"}, {1002, "Warten"}};
  std::vector<std::pair<std::string, std::string>> more;  // further entries: name, bytes
};

inline std::string MediumArchive(const ArchiveContents& contents = {}) {
  TZipWriter zip(medium::kArchivePassword);
  if (contents.languages) {
    zip.Add("Deutsch.lng", LanguageFile("Deutsch", contents.germanTexts));
    zip.Add("English.lng", LanguageFile("English", {{1000, "Title"}, {1001, "Body"}, {1002, "Wait"}}));
  }
  if (contents.setupInfo) zip.Add(medium::kSetupInfoMask, SetupInfoFile(contents.info));
  if (contents.installer) zip.Add(medium::kInstallerFile, contents.installerBytes);
  for (const auto& [name, bytes] : contents.more) zip.Add(name, bytes);
  return zip.Archive();
}

// A medium folder: the component (unless left out) and the archive (unless
// left out).
inline void MakeMedium(const std::string& folder, bool component, const std::string* archive) {
  CreateDirectoryA(folder.c_str(), nullptr);
  if (component) {
    ASSERT_TRUE(WriteBytes(folder + "\\" + medium::kComponentFile, ComponentBytes()));
  }
  if (archive) {
    ASSERT_TRUE(WriteBytes(folder + "\\" + medium::kArchiveFile, *archive));
  }
}

// A box of the program as the run saw it: its caption, its text (unless
// text is null), its buttons (OK, and Cancel when asked for), and the
// program's other windows disabled while it was up.
inline void ExpectBox(const BoxSeen& box, const std::string& caption, const char* text,
                      bool cancel = false) {
  EXPECT_EQ(box.caption, caption);
  if (text) {
    EXPECT_EQ(box.text, text) << caption;
  }
  EXPECT_TRUE(box.hasOk) << caption;
  EXPECT_EQ(box.hasCancel, cancel) << caption;
  EXPECT_TRUE(box.othersDisabled) << caption;
}

// A run whose processes all ended, or why not.
inline ::testing::AssertionResult Ended(const RunResult& run) {
  if (run.notFinished.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the run did not end: " << run.notFinished;
}

// A run that went through to the installer: it ended with 259 (the
// installer's start), every process of it ended, and it showed no box.
inline ::testing::AssertionResult RanToTheInstaller(const RunResult& run) {
  if (const ::testing::AssertionResult ended = Ended(run); !ended) return ended;
  if (run.exitCode != 259) return ::testing::AssertionFailure() << "exit code " << run.exitCode;
  if (!run.boxes.empty())
    return ::testing::AssertionFailure() << "a box: " << run.boxes[0].caption << ": " << run.boxes[0].text;
  return ::testing::AssertionSuccess();
}

// Each test gets an empty folder of its own, named after it, with places
// for a medium, a temporary folder (made) and the installer's log.
class SetupRunTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name) if (c == '/') c = '-';  // parameterised tests: "Test/Case"
    base_ = FreshFolder("setup-run-" + name);
    medium_ = base_ + "\\medium";
    temp_ = base_ + "\\tmp";
    log_ = base_ + "\\installer.log";
    CreateDirectoryA(temp_.c_str(), nullptr);
  }
  void TearDown() override { RemoveTree(base_); }

  // A run with the medium as its argument, started from the test's folder.
  RunOptions MediumAsArgument(const std::string& medium, const std::string& temp) const {
    RunOptions options;
    options.commandLine = medium;
    options.currentFolder = base_;
    options.tempFolder = temp;
    return options;
  }

  // A run started in medium_ without arguments, logging the installer to log_.
  RunOptions FromTheMedium() const {
    RunOptions options;
    options.currentFolder = medium_;
    options.tempFolder = temp_;
    options.installerLog = log_;
    return options;
  }

  std::string base_, medium_, temp_, log_;
};

}  // namespace setup_test
