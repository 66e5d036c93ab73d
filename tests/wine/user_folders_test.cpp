// Unusual but legitimate names and folders of a user: runs of the real
// Setup.exe from a medium folder with blanks and umlauts, built by
// setupmedium with a language file and an extra file named with a cedilla,
// into a temporary folder named after a user with blanks and umlauts; with a
// temporary folder outside the ANSI code page; and from a read-only medium
// into a temporary folder that does not exist yet.
#include "SetupMedium.h"
#include "WineTestSupport.h"
#include "ZipClient.h"
#include "runtime/TempFolder.h"

#include "BuildMedium.h"
#include "MediumDescription.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace setup_test;

namespace {

// "Дмитрий Иванов", a user name outside code page 1252.
const wchar_t kCyrillicUser[] =
    L"\u0414\u043C\u0438\u0442\u0440\u0438\u0439 \u0418\u0432\u0430\u043D\u043E\u0432";

// "\u00E7" in UTF-8 (the description) and in code page 1252 (the program).
const std::string kCedillaUtf8 = "\xC3\xA7";
const std::string kCedilla1252 = "\xE7";

class UserFolders : public SetupRunTest {
protected:
  void SetUp() override {
    SetupRunTest::SetUp();
    archive_ = MediumArchive({});
  }

  // A run to the installer: 259, no box, and the installer's command line.
  std::vector<std::string> RunToTheInstaller(RunOptions options) {
    options.installerLog = log_;
    RunResult run = RunSetup(options);
    EXPECT_TRUE(RanToTheInstaller(run));
    return Lines(ReadBytes(log_));
  }

  std::string archive_;
};

}  // namespace

TEST_F(UserFolders, ATempFolderOutsideTheAnsiCodePageIsUsedInItsShortForm) {
  MakeMedium(medium_, true, &archive_);
  const std::wstring user = Wide(base_) + L"\\" + kCyrillicUser;
  const std::wstring temp = user + L"\\Temp";
  CreateDirectoryW(user.c_str(), nullptr);
  CreateDirectoryW(temp.c_str(), nullptr);
  wchar_t shortForm[MAX_PATH];
  ASSERT_GT(GetShortPathNameW(temp.c_str(), shortForm, MAX_PATH), 0u);
  ASSERT_EQ(Ansi(shortForm).find('?'), std::string::npos) << "no short form of " << base_;

  RunOptions options = MediumAsArgument(medium_, "");
  options.tempFolderWide = temp + L"\\";
  std::vector<std::string> lines = RunToTheInstaller(options);
  ASSERT_EQ(lines.size(), 3u);
  const std::string workspace = WorkspaceIn(Ansi(shortForm));
  EXPECT_EQ(lines[0], "\"" + workspace + "\\_inst32d.exe\" " + medium_);
  EXPECT_TRUE(Exists(workspace + "\\setup.inf"));
}

TEST(TempFolderForm, TheLongFormWhenItSurvivesElseTheShortOneElseNone) {
  // Wine keeps a short form of every name, so the case without one is
  // decided here: a volume without short names gives the long form back.
  const std::wstring cyrillic = std::wstring(L"C:\\users\\") + kCyrillicUser + L"\\Temp\\";
  const std::wstring umlauts = L"C:\\users\\J\u00FCrgen M\u00FCller\\Temp\\";
  EXPECT_EQ(AnsiFormOf(umlauts, L"C:\\users\\JRGEN~1\\Temp\\"),
            std::optional<std::string>("C:\\users\\J\xFCrgen M\xFCller\\Temp\\"));
  EXPECT_EQ(AnsiFormOf(cyrillic, L"C:\\users\\C0A1~1\\Temp\\"),
            std::optional<std::string>("C:\\users\\C0A1~1\\Temp\\"));
  EXPECT_EQ(AnsiFormOf(cyrillic, cyrillic), std::nullopt);
  // A character the code page would replace by a look-alike is lost too.
  EXPECT_EQ(AnsiFormOf(L"C:\\users\\\u0100da\\Temp\\", L"C:\\users\\\u0100da\\Temp\\"),
            std::nullopt);
}

TEST_F(UserFolders, AReadOnlyMediumAndATempFolderThatDoesNotExistYet) {
  // C:\setup-ro-medium shows C:\setup-ro-source read-only (see CMakeLists).
  const std::string source = "C:\\setup-ro-source";
  const std::string medium = "C:\\setup-ro-medium";
  const std::string temp = base_ + "\\users\\neu\\Temp";
  for (const char* name : {"XceedZip.dll", "_Setup.lib", "probe"}) RemoveFile(source + "\\" + name);
  MakeMedium(source, true, &archive_);
  for (const char* name : {"XceedZip.dll", "_Setup.lib"})
    SetFileAttributesA((source + "\\" + name).c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(Exists(medium + "\\_Setup.lib")) << "the read-only mount is missing";
  ASSERT_FALSE(WriteBytes(medium + "\\probe", "x")) << "the medium is not read-only";

  std::vector<std::string> lines = RunToTheInstaller(MediumAsArgument(medium, temp + "\\"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "\"" + WorkspaceIn(temp) + "\\_inst32d.exe\" " + medium);
  EXPECT_EQ(ReadBytes(WorkspaceIn(temp) + "\\_Setup.lib"), archive_);
  for (const char* name : {"XceedZip.dll", "_Setup.lib"}) RemoveFile(source + "\\" + name);
}

TEST_F(UserFolders, NamesWithBlanksUmlautsAndACedillaReachTheInstallerUnchanged) {
  const std::wstring base = Wide(base_);
  const std::string medium = base_ + "\\Mein Medium \xE4\xF6\xFC\xDF";
  const std::string user = base_ + "\\J\xFCrgen M\xFCller";
  const std::string temp = user + "\\Temp";
  CreateDirectoryA(user.c_str(), nullptr);
  CreateDirectoryA(temp.c_str(), nullptr);
  ASSERT_TRUE(WriteBytes(base + L"\\re\u00E7u.txt", "Quittung"));
  const std::string description =
      "[program]\nsetup_exe = '" + SetupExe() + "'\ncomponent = '" + FixturePath(FIXTURE_XCEEDZIP_DLL) +
      "'\n[medium]\ninstaller = '" + FixturePath(FIXTURE_TEST_INSTALLER) + "'\nextra_files = [\"re" + kCedillaUtf8 +
      "u.txt\"]\n[setup]\nproduct_name = \"Produit\"\nlanguage_file = \"Fran" + kCedillaUtf8 +
      "ais.lng\"\n[languages.\"Fran" + kCedillaUtf8 + "ais\"]\ntitle = \"Installation\"\n"
      "body = \"Pr\xC3\xA9paration de %PRODUKTNAME%\"\nwait = \"Patientez...\"\n";
  ASSERT_TRUE(WriteBytes(base_ + "\\medium.toml", description));
  try {
    const setupmedium::BuildResult built = setupmedium::BuildMedium(
        setupmedium::ReadMediumDescription(std::filesystem::path(base) / L"medium.toml"),
        std::filesystem::path(Wide(medium)));
    ASSERT_TRUE(built.placed) << built.findings.Text();
    EXPECT_EQ(built.findings.ExitCode(), 0) << built.findings.Text();
  } catch (const ToolError& e) {
    FAIL() << e.text;
  }

  // Started from the medium without arguments, as from a disc.
  RunOptions options;
  options.currentFolder = medium;
  options.tempFolder = temp + "\\";
  std::vector<std::string> lines = RunToTheInstaller(options);
  const std::string workspace = WorkspaceIn(temp);
  ASSERT_FALSE(workspace.empty());
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "\"" + workspace + "\\_inst32d.exe\" " + medium);
  EXPECT_EQ(lines[2], base_ + "\\Mein");  // unquoted, split at the blanks
  EXPECT_EQ(lines[3], "Medium");
  EXPECT_EQ(lines[4], "\xE4\xF6\xFC\xDF");
  // The language file under the name the description gives, found by the
  // program in code page 1252; the extra file as the component writes it.
  EXPECT_EQ(ReadBytes(workspace + "\\Fran" + kCedilla1252 + "ais.lng"),
            LanguageFile("Fran" + kCedilla1252 + "ais", {{1000, "Installation"},
                                                         {1001, "Pr\xE9paration de %PRODUKTNAME%"},
                                                         {1002, "Patientez..."}}));
  {
    const ComApartment com;
    ZipClient zip;
    zip.SetUpFirstExtraction(Wide(workspace + "\\_Setup.lib"), base + L"\\extra");
    zip.AddMask(L"*.txt");
    EXPECT_EQ(zip.Unzip(), 0);
  }
  EXPECT_EQ(ReadBytes(base + L"\\extra\\re\u00E7u.txt"), "Quittung");
}
