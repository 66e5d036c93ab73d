// setupmedium: media built from descriptions check clean in every format
// version, planted faults are found with their severity, an author's own
// "Setup.inf" is packed unchanged, description faults name file, line, key.
#include "BuildMedium.h"
#include "CheckMedium.h"
#include "MediumDescription.h"
#include "ZipWriter.h"
#include "Archive.h"
#include "app/core/MediumNames.h"
#include "vswriter/ValueWriter.h"
#include "../support/PictureWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

namespace fs = std::filesystem;
using namespace setupmedium;

namespace {

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A Windows image head: MZ, then the PE header with machine and flags.
std::string WindowsImageBytes(uint16_t machine, bool library) {
  std::string b(0x40, '\0');
  b[0] = 'M', b[1] = 'Z', b[0x3C] = 0x40;
  b += std::string("PE\0\0", 4);
  b += static_cast<char>(machine & 0xFF), b += static_cast<char>(machine >> 8);
  b += std::string(16, '\0');
  const uint16_t flags = library ? 0x2102 : 0x0102;
  b += static_cast<char>(flags & 0xFF), b += static_cast<char>(flags >> 8);
  return b + std::string(64, '\0');
}

// The sample's [setup] replaced by the author's own file.
std::vector<std::pair<std::string, std::string>> OwnSetupInf(const std::string& file) {
  return {{"format_version = 5000", "file = \"" + file + "\""}, {"product_name = \"Demo Produkt\"", ""},
          {"product_version = \"1.0\"", ""}, {"silent = false", ""}, {"language_file = \"Deutsch.lng\"", ""}};
}

// A folder with the program files a description names and a description
// made from the sample with some lines replaced.
class MediumTest : public ::testing::Test {
protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("setupmedium-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "src");
    WriteText(root_ / "src/Setup.exe", WindowsImageBytes(0x014C, false));
    WriteText(root_ / "src/XceedZip.dll", WindowsImageBytes(0x014C, true));
    WriteText(root_ / "src/installer.exe", WindowsImageBytes(0x014C, false));
    picture_writer::Bmp bmp;
    bmp.width = 40, bmp.height = 20;
    bmp.pixels = picture_writer::Bytes(40 * 3 * 20, 0x80);
    const picture_writer::Bytes picture = picture_writer::Write(bmp);
    WriteText(root_ / "src/splash.bmp", std::string(picture.begin(), picture.end()));
  }
  void TearDown() override { fs::remove_all(root_); }

  // The sample description with each (old, new) line replaced.
  fs::path Describe(const std::vector<std::pair<std::string, std::string>>& changes = {}) {
    std::string text = ReadText(SETUPMEDIUM_SAMPLE);
    for (const auto& [from, to] : changes) {
      const size_t at = text.find(from);
      EXPECT_NE(at, std::string::npos) << from;
      if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    WriteText(root_ / "src/medium.toml", text);
    return root_ / "src/medium.toml";
  }

  fs::path Build(const fs::path& description) {
    BuildMedium(ReadMediumDescription(description), root_ / "medium");
    return root_ / "medium";
  }

  static const Finding* Worst(const Findings& findings) {
    const Finding* worst = nullptr;
    for (const Finding& f : findings.List())
      if (!worst || f.severity > worst->severity) worst = &f;
    return worst;
  }

  fs::path root_;
};

TEST_F(MediumTest, BuildThenCheckIsCleanForTheSampleAndEveryFormatVersion) {
  const std::vector<std::vector<std::pair<std::string, std::string>>> versions = {
      {},
      {{"format_version = 5000", "format_version = 0"}},
      {{"format_version = 5000", "format_version = 4003"}, {"silent = false", "silent = true"}},
      {{"format_version = 5000", "format_version = 4014"}},
  };
  for (const auto& changes : versions) {
    const Findings findings = CheckMedium(Build(Describe(changes)));
    EXPECT_EQ(findings.ExitCode(), 0) << findings.Text();
  }
}

TEST_F(MediumTest, CheckFindsEachPlantedFaultWithItsSeverity) {
  // Each plant changes a clean medium (or its description); the worst
  // finding must have the severity and name the topic.
  struct Plant {
    const char* fault;
    std::vector<std::pair<std::string, std::string>> changes;
    std::function<void(const fs::path& medium)> after;
    Severity severity;
    const char* topic;
  };
  const auto rezip = [](const fs::path& medium, const std::string& password, bool withInstaller) {
    archive::Reader old((medium / medium::kArchiveFile).string());
    TZipWriter zip(password);
    for (size_t i = 0; i < old.Entries().size(); ++i)
      if (withInstaller || old.Entries()[i].name != medium::kInstallerFile)
        zip.Add(old.Entries()[i].name, old.Read(static_cast<int>(i), medium::kArchivePassword));
    const std::string bytes = zip.Archive();
    WriteText(medium / medium::kArchiveFile, bytes);
  };
  TValueWriter wide;
  wide.Signature(), wide.Str("Deutsch"), wide.Symbol("Deutsch"), wide.Int(0), wide.BeginList();
  wide.Int(1000), wide.WideStr(u"Installation \u4E2D"), wide.Int(1001), wide.Str("x"), wide.Int(1002), wide.Str("y");
  wide.End();
  WriteText(root_ / "src/wide.lng", wide.Data());

  const std::vector<Plant> plants = {
      {"wrong password", {}, [&](const fs::path& m) { rezip(m, "falsch", true); }, Severity::Error, "_Setup.lib"},
      {"missing language file", {{"language_file = \"Deutsch.lng\"", "language_file = \"Fehlt.lng\""}}, nullptr,
       Severity::Error, "language file"},
      {"text outside code page 1252",
       {{"[languages.Deutsch]\ntitle", "[languages.Deutsch]\nfile = \"wide.lng\"\n[languages.Alt]\ntitle"}}, nullptr,
       Severity::Warning, "Deutsch.lng"},
      {"unreadable splash picture", {}, [](const fs::path& m) { WriteText(m / "Setup.bmp", "BM kaputt"); },
       Severity::Error, "Setup.bmp"},
      {"missing installer", {}, [&](const fs::path& m) { rezip(m, medium::kArchivePassword, false); }, Severity::Error,
       "_inst32d.exe"},
      {"component of the wrong machine", {},
       [](const fs::path& m) { WriteText(m / "XceedZip.dll", WindowsImageBytes(0x8664, true)); }, Severity::Error,
       "XceedZip.dll"},
      {"Setup.inf cut short", OwnSetupInf("short.inf"), nullptr, Severity::Error, "Setup.inf"},
  };
  TValueWriter shortInf;
  shortInf.Signature(), shortInf.Int(5000), shortInf.Bool(false), shortInf.Str("Demo");
  WriteText(root_ / "src/short.inf", shortInf.Data());

  for (const Plant& plant : plants) {
    const fs::path medium = Build(Describe(plant.changes));
    if (plant.after) plant.after(medium);
    const Findings findings = CheckMedium(medium);
    const Finding* worst = Worst(findings);
    ASSERT_NE(worst, nullptr) << plant.fault;
    EXPECT_EQ(worst->severity, plant.severity) << plant.fault << "\n" << findings.Text();
    EXPECT_EQ(worst->topic, plant.topic) << plant.fault << "\n" << findings.Text();
  }
}

TEST_F(MediumTest, AnAuthorsOwnSetupInfIsPackedUnchanged) {
  const std::string own = std::string("TPF0\x02\x07", 6) + "more than Setup.exe reads";
  WriteText(root_ / "src/Setup.inf", own);
  const fs::path medium = Build(Describe(OwnSetupInf("Setup.inf")));
  archive::Reader zip((medium / medium::kArchiveFile).string());
  EXPECT_EQ(zip.Read(zip.Find("Setup.inf"), medium::kArchivePassword), own);
}

TEST_F(MediumTest, DescriptionFaultsNameFileLineAndKey) {
  const auto error = [](const std::string& text) {
    try {
      ParseMediumDescription(text, "m.toml");
    } catch (const DescriptionError& e) {
      return e.text;
    }
    return std::string("no error");
  };
  const std::string base = ReadText(SETUPMEDIUM_SAMPLE);
  for (const char* wrong : {"\"5\"", "-1"}) {
    std::string wrongKind = base;
    wrongKind.replace(wrongKind.find("format_version = 5000"), 21, std::string("format_version = ") + wrong);
    EXPECT_EQ(error(wrongKind).rfind("m.toml:", 0), 0u);
    EXPECT_NE(error(wrongKind).find(": setup.format_version: must be"), std::string::npos) << error(wrongKind);
  }
  EXPECT_NE(error("[program]\nsetup_exe = \"a\"\ncomponent = \"b\"\nsetp = 1\n").find("m.toml:4: program.setp: unknown key"),
            std::string::npos);
  EXPECT_NE(error("[program\n").find("m.toml:1"), std::string::npos);
  // Beyond ASCII only in quoted texts and comments (the reader is not
  // trusted with them elsewhere).
  EXPECT_NE(error("# \xC3\xA4\n[setup]\nx = 'a\xC3\xA4' \xC8\x96\n").find("m.toml:3: characters beyond ASCII"),
            std::string::npos);
  std::string silentOld = base;
  silentOld.replace(silentOld.find("format_version = 5000"), 21, "format_version = 4002");
  silentOld.replace(silentOld.find("silent = false"), 14, "silent = true");
  EXPECT_NE(error(silentOld).find("setup.silent: needs format_version 4003"), std::string::npos) << error(silentOld);

  // A missing file names its path; nothing is left behind.
  fs::remove(root_ / "src/installer.exe");
  try {
    Build(Describe());
    FAIL() << "built without an installer";
  } catch (const BuildError& e) {
    EXPECT_NE(e.text.find((root_ / "src/installer.exe").string()), std::string::npos) << e.text;
  }
  EXPECT_FALSE(fs::exists(root_ / "medium"));
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1);
}

TEST(MediumCheckInput, AnUnreadableMediumIsReportedNotFatal) {
  EXPECT_EQ(CheckMedium("/nonexistent/medium").ExitCode(), 2);
  const fs::path folder = fs::temp_directory_path() / "setupmedium-test-garbage";
  fs::create_directories(folder);
  WriteText(folder / medium::kArchiveFile, "PK\x03\x04 not really");
  WriteText(folder / "Setup.jpg", "\xFF\xD8\xFF garbage");
  const Findings findings = CheckMedium(folder);
  EXPECT_EQ(findings.ExitCode(), 2);
  fs::remove_all(folder);
}

}  // namespace
