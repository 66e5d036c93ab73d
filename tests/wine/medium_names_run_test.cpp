// A medium built by setupmedium from a description whose names go beyond
// ASCII: the language file "Français.lng" and the extra file "reçu.txt".
// The component writes them under the very names the description gives, and
// Setup.exe, which works in code page 1252, finds its language file.
#include "SetupMedium.h"
#include "WineTestSupport.h"
#include "ZipClient.h"

#include "BuildMedium.h"
#include "MediumDescription.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace setup_test;

namespace {

using MediumNames = SetupRunTest;

// "ç" in UTF-8 (the description) and in code page 1252 (the program).
const std::string kCedillaUtf8 = "\xC3\xA7";
const std::string kCedilla1252 = "\xE7";

}  // namespace

TEST_F(MediumNames, ALanguageFileAndAnExtraFileWithACedillaRunTo259) {
  const std::wstring base = Wide(base_);
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
        std::filesystem::path(Wide(medium_)));
    ASSERT_TRUE(built.placed) << built.findings.Text();
    EXPECT_EQ(built.findings.ExitCode(), 0) << built.findings.Text();
  } catch (const ToolError& e) {
    FAIL() << e.text;
  }

  RunResult run = RunSetup(FromTheMedium());
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 259u);
  EXPECT_TRUE(run.boxes.empty()) << run.boxes.front().text;
  const std::string workspace = WorkspaceIn(temp_);
  ASSERT_FALSE(workspace.empty());
  EXPECT_EQ(ReadBytes(workspace + "\\Fran" + kCedilla1252 + "ais.lng"),
            LanguageFile("Fran" + kCedilla1252 + "ais", {{1000, "Installation"},
                                                         {1001, "Pr\xE9paration de %PRODUKTNAME%"},
                                                         {1002, "Patientez..."}}));

  // The extra file, as the component writes it for the installer.
  {
    const ComApartment com;
    ZipClient zip;
    zip.SetUpFirstExtraction(Wide(workspace + "\\_Setup.lib"), base + L"\\extra");
    zip.AddMask(L"*.txt");
    EXPECT_EQ(zip.Unzip(), 0);
  }
  EXPECT_EQ(ReadBytes(base + L"\\extra\\re\u00E7u.txt"), "Quittung");
}
