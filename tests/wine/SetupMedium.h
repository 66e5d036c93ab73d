// Test media for runs of the real Setup.exe: the archive "_Setup.lib" with
// the setup information, two language files and the installer stand-in,
// and a medium folder holding it beside the component; a test fixture with
// a fresh folder of its own for each test.
#pragma once

#include "SetupFiles.h"
#include "SetupRun.h"
#include "ZipWriter.h"
#include "app/core/MediumNames.h"

#include <gtest/gtest.h>

#include <string>

namespace setup_test {

inline std::string InstallerBytes() { return ReadBytes(FixturePath(FIXTURE_TEST_INSTALLER)); }
inline std::string ComponentBytes() { return ReadBytes(FixturePath(FIXTURE_XCEEDZIP_DLL)); }

struct ArchiveContents {
  bool setupInfo = true;
  bool languages = true;
  bool installer = true;
  std::string installerBytes = InstallerBytes();
};

inline std::string MediumArchive(const ArchiveContents& contents) {
  TZipWriter zip(medium::kArchivePassword);
  if (contents.languages) {
    zip.Add("Deutsch.lng", LanguageFile("Deutsch", {{1000, "Titel"}, {1001, "Text"}, {1002, "Warten"}}));
    zip.Add("English.lng", LanguageFile("English", {{1000, "Title"}, {1001, "Body"}, {1002, "Wait"}}));
  }
  if (contents.setupInfo) zip.Add("Setup.inf", SetupInfoFile(SetupInfo()));
  if (contents.installer) zip.Add("_inst32d.exe", contents.installerBytes);
  return zip.Archive();
}

// A medium folder: the component (unless left out) and the archive (unless
// left out).
inline void MakeMedium(const std::string& folder, bool component, const std::string* archive) {
  CreateDirectoryA(folder.c_str(), nullptr);
  if (component) {
    ASSERT_TRUE(WriteBytes(folder + "\\XceedZip.dll", ComponentBytes()));
  }
  if (archive) {
    ASSERT_TRUE(WriteBytes(folder + "\\_Setup.lib", *archive));
  }
}

// Each test gets an empty folder of its own, named after it.
class SetupRunTest : public ::testing::Test {
protected:
  void SetUp() override {
    base_ = FreshFolder(std::string("setup-run-") +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
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

  std::string base_;
};

}  // namespace setup_test
