// Runs of the real Setup.exe on test media, each as a separate process with a
// temporary folder of its own. Normal runs take at least 7 s, so each run
// checks everything it can.
#include "SetupMedium.h"
#include "ZipClient.h"
#include "runtime/core/Format.h"
#include "runtime/core/Messages.h"

#include <gtest/gtest.h>

#include <regex>

using namespace setup_test;

namespace {

void ForgetComponentRegistration() {
  const std::wstring key = ComponentClassKey();
  RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
  RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + key).c_str());
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + key).c_str());
}

bool ComponentRegistered() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, (ComponentClassKey() + L"\\InprocServer32").c_str(), 0,
                    KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

std::string SystemComponent() { return SystemFolderPath() + "\\" + medium::kComponentFile; }

using SetupRun = SetupRunTest;

}  // namespace

TEST_F(SetupRun, NormalRunDeploysExtractsStartsTheInstallerWithTheSourceFolderAndEndsWith259) {
  const std::string archive = MediumArchive({});
  MakeMedium(medium_, true, &archive);
  // A read-only component of an older medium is in the system folder, the
  // registration is gone.
  RemoveFile(SystemComponent());
  ASSERT_TRUE(WriteBytes(SystemComponent(), "an older component"));
  SetFileAttributesA(SystemComponent().c_str(), FILE_ATTRIBUTE_READONLY);
  ForgetComponentRegistration();

  // A library planted in the temporary folder under a name the installer
  // loads by its bare name; an earlier run's workspace, and a folder of the
  // same name form that is not one (no marker).
  ASSERT_TRUE(WriteBytes(temp_ + "\\setuphelp.dll", ReadBytes(FixturePath(PLAIN_DLL_PATH))));
  const std::string earlier = temp_ + "\\Setup.0123456789abcdef";
  const std::string notOurs = temp_ + "\\Setup.1123456789abcdef";
  for (const std::string& folder : {earlier, notOurs}) {
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(folder + "\\_inst32d.exe", "old"));
  }
  ASSERT_TRUE(WriteBytes(earlier + "\\" + kWorkspaceMarker, ""));
  RunResult run = RunSetup(FromTheMedium());

  ASSERT_TRUE(RanToTheInstaller(run));
  EXPECT_GE(run.elapsedMs, 7000u);
  EXPECT_EQ(ReadBytes(SystemComponent()), ComponentBytes());
  EXPECT_TRUE(ComponentRegistered());
  EXPECT_FALSE(Exists(earlier));
  EXPECT_TRUE(Exists(notOurs + "\\_inst32d.exe"));
  // Everything in the workspace, which the installer starts from and sees
  // as its temporary folder; the planted library is never loaded.
  const std::string workspace = WorkspaceIn(temp_);
  ASSERT_FALSE(workspace.empty());
  for (const char* name : {"setup.inf", "Deutsch.lng", "English.lng", "_Setup.lib", "_inst32d.exe"})
    EXPECT_TRUE(Exists(workspace + "\\" + name)) << name;
  EXPECT_EQ(ReadBytes(workspace + "\\_Setup.lib"), archive);
  // The installer: its program path quoted, the source folder as its only argument.
  std::vector<std::string> lines = Lines(ReadBytes(log_));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "\"" + workspace + "\\_inst32d.exe\" " + medium_);
  EXPECT_EQ(lines[2], medium_);
  EXPECT_EQ(Lines(ReadBytes(log_ + ".env")),
            (std::vector<std::string>{"TEMP=" + workspace, "setuphelp=-"}));
  EXPECT_EQ(InstallerStarts(log_), std::vector<std::string>{"4"}) << "once, SW_SHOWNOACTIVATE";
}

TEST_F(SetupRun, QuotedSourceArgumentWithBlanksAndTrailingBackslashGoesUnquotedToTheInstaller) {
  // The temporary folder has blanks too, and a program planted where an
  // unquoted program path would be tried first ("...\Temp.exe" for
  // "...\Temp Folder\_inst32d.exe") must not run.
  const std::string medium = base_ + "\\my medium";
  const std::string temp = base_ + "\\Temp Folder";
  const std::string archive = MediumArchive({});
  MakeMedium(medium, true, &archive);
  CreateDirectoryA(temp.c_str(), nullptr);
  ASSERT_TRUE(WriteBytes(base_ + "\\Temp.exe", InstallerBytes()));

  RunOptions options;
  options.commandLine = "\"" + medium + "\\\"";
  options.currentFolder = base_;  // the argument wins over the current folder
  options.tempFolder = temp + "\\";
  // No log variable: each installer copy logs beside itself.
  RunResult run = RunSetup(options);

  ASSERT_TRUE(RanToTheInstaller(run));
  const std::string workspace = WorkspaceIn(temp);
  std::vector<std::string> lines = Lines(ReadBytes(workspace + "\\_inst32d.log"));
  EXPECT_FALSE(Exists(base_ + "\\_inst32d.log")) << "the planted program ran";
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "\"" + workspace + "\\_inst32d.exe\" " + medium);
  EXPECT_EQ(lines[2], base_ + "\\my");  // split at the blank, as it always was
  EXPECT_EQ(lines[3], "medium");
}

TEST_F(SetupRun, DriveRootWithoutArgumentIsTheSourceAndTheTempSubfolderIsMade) {
  // X: is mapped to C:\setup-drive-x. Started from X:\ without arguments the
  // source folder is "X:"; the current folder X:\ lies inside the temporary
  // folder X:\tmp\, so X:\tmp\Temp is made, and extraction goes to X:\tmp.
  ASSERT_TRUE(IsFolder("X:\\")) << "drive X: is not mapped";
  RemoveTree("X:\\tmp");
  for (const char* name : {"XceedZip.dll", "_Setup.lib", "installer.log"})
    RemoveFile(std::string("X:\\") + name);
  const std::string archive = MediumArchive({});
  MakeMedium("X:", true, &archive);
  CreateDirectoryA("X:\\tmp", nullptr);

  RunOptions options;
  options.currentFolder = "X:\\";
  options.tempFolder = "X:\\tmp\\";
  options.installerLog = "X:\\installer.log";
  RunResult run = RunSetup(options);

  ASSERT_TRUE(RanToTheInstaller(run));
  EXPECT_TRUE(IsFolder("X:\\tmp\\Temp"));
  const std::string workspace = WorkspaceIn("X:\\tmp");
  EXPECT_TRUE(Exists(workspace + "\\setup.inf"));
  std::vector<std::string> lines = Lines(ReadBytes("X:\\installer.log"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "\"" + workspace + "\\_inst32d.exe\" X:");
  EXPECT_EQ(lines[2], "X:");
  RemoveTree("X:\\tmp");
}

TEST_F(SetupRun, WithoutTheComponentNothingIsCopiedNothingShownAndTheExitCodeIs0) {
  const std::string archive = MediumArchive({});
  MakeMedium(medium_, false, &archive);
  RemoveFile(SystemComponent());

  RunOptions options = MediumAsArgument(medium_, temp_);
  RunResult run = RunSetup(options);

  ASSERT_TRUE(Ended(run));
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_FALSE(Exists(SystemComponent()));
  EXPECT_FALSE(Exists(temp_ + "\\setup.inf"));
  EXPECT_TRUE(run.windowsShown.empty());
}

TEST_F(SetupRun, ComponentWithoutRegistrationExportShowsOcxErrorThenTheDefaultFailureReport) {
  const std::string archive = MediumArchive({});
  CreateDirectoryA(medium_.c_str(), nullptr);
  ASSERT_TRUE(WriteBytes(medium_ + "\\XceedZip.dll", ReadBytes(FixturePath(PLAIN_DLL_PATH))));
  ASSERT_TRUE(WriteBytes(medium_ + "\\_Setup.lib", archive));
  ForgetComponentRegistration();

  RunOptions options = MediumAsArgument(medium_, temp_);
  RunResult run = RunSetup(options);

  ASSERT_TRUE(Ended(run));
  EXPECT_EQ(run.exitCode, 1u);
  ASSERT_EQ(run.boxes.size(), 2u);
  ExpectBox(run.boxes[0], msg::OcxErrorCaption, msg::OcxErrorText, true);
  ExpectBox(run.boxes[1], msg::AppErrorCaption, nullptr);
  EXPECT_TRUE(std::regex_match(
      run.boxes[1].text,
      std::regex("Exception EOleSysError in Modul Setup\\.exe bei [0-9A-F]{8}\\.\r\n[^\r\n]+\\.\r\n")))
      << run.boxes[1].text;
  EXPECT_FALSE(Exists(temp_ + "\\setup.inf"));
}

TEST_F(SetupRun, AReadOnlyTemporaryFolderStopsWithABoxBecauseNoWorkspaceCanBeMade) {
  // C:\setup-ro-medium is a read-only mount (see CMakeLists).
  const std::string temp = "C:\\setup-ro-medium";
  ASSERT_FALSE(WriteBytes(temp + "\\probe", "x")) << "the read-only mount is missing";
  const std::string archive = MediumArchive({});
  MakeMedium(medium_, true, &archive);

  RunOptions options = MediumAsArgument(medium_, temp);
  options.installerLog = log_;
  RunResult run = RunSetup(options);

  ASSERT_TRUE(Ended(run));
  EXPECT_EQ(run.exitCode, 1u);
  ASSERT_EQ(run.boxes.size(), 1u);
  ExpectBox(run.boxes[0], msg::ErrorCaption, Format(msg::WorkspaceNotCreatedText, temp.c_str()).c_str());
  EXPECT_EQ(ReadBytes(log_), "");
}
