// setupmedium as released: the same inputs give the same archive, packing
// reports its progress by bytes, and check's reports speak the author's
// terms (entries as records, damage called damage, reasons in English,
// description keys rather than temporary paths).
#include "Archive.h"
#include "BuildMedium.h"
#include "CheckMedium.h"
#include "MediumDescription.h"
#include "app/core/MediumNames.h"
#include "../support/MediumTestFiles.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>

namespace fs = std::filesystem;
using namespace setupmedium;

namespace {

// The sample's files with an installer of random bytes, described
// without a splash picture.
class ReleasedMedium : public MediumFolderTest {
protected:
  void SetUp() override {
    MediumFolderTest::SetUp();
    std::mt19937 random(7);
    installer_ = WindowsImageBytes(false);
    while (installer_.size() < (2u << 20)) installer_ += static_cast<char>(random());
    WriteText(root_ / "src/installer.exe", installer_);
    Describe({{"splash = \"splash.bmp\"", ""}});
  }
  void TearDown() override {
    unsetenv("SOURCE_DATE_EPOCH");
    MediumFolderTest::TearDown();
  }

  fs::path Build(const std::string& name, const std::function<void(double)>& progress = {}) {
    BuildOptions options;
    options.progress = progress;
    BuildMedium(ReadMediumDescription(root_ / "src/medium.toml"), root_ / name, options);
    return root_ / name;
  }

  void SetInstallerTime(fs::file_time_type::duration back) {
    fs::last_write_time(root_ / "src/installer.exe", fs::file_time_type::clock::now() - back);
  }

  std::string installer_;
};

TEST_F(ReleasedMedium, TheSameInputsGiveTheSameArchive) {
  const std::string first = ReadText(Build("a") / medium::kArchiveFile);
  EXPECT_EQ(ReadText(Build("b") / medium::kArchiveFile), first);
  EXPECT_EQ(CheckMedium(root_ / "a").ExitCode(), 0) << CheckMedium(root_ / "a").Text();
  archive::Reader zip((root_ / "a" / medium::kArchiveFile).string());
  EXPECT_EQ(zip.Read(zip.Find(medium::kInstallerFile), medium::kArchivePassword), installer_);

  // SOURCE_DATE_EPOCH makes the files' own times irrelevant.
  setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  SetInstallerTime(std::chrono::hours(48));
  const std::string pinned = ReadText(Build("c") / medium::kArchiveFile);
  SetInstallerTime(std::chrono::hours(24 * 300));
  EXPECT_EQ(ReadText(Build("d") / medium::kArchiveFile), pinned);
  EXPECT_NE(pinned, first);
  setenv("SOURCE_DATE_EPOCH", "yesterday", 1);
  EXPECT_THROW(Build("e"), ToolError);
}

TEST_F(ReleasedMedium, PackingProgressRisesByBytes) {
  std::vector<double> shares;
  Build("m", [&](double share) { shares.push_back(share); });
  ASSERT_GE(shares.size(), 15u);
  EXPECT_DOUBLE_EQ(shares.back(), 1.0);
  for (size_t i = 1; i < shares.size(); ++i) {
    EXPECT_GE(shares[i], shares[i - 1]);
    EXPECT_LE(shares[i] - shares[i - 1], 0.1) << "a jump at " << i;
  }
}

TEST_F(ReleasedMedium, ReportsSpeakTheAuthorsTerms) {
  // The JSON report lists the archive's entries as records.
  std::string json = CheckMedium(Build("m")).Json("m");
  EXPECT_EQ(json.rfind("{\"schema\": 1, ", 0), 0u) << json;
  char crc[16];
  std::snprintf(crc, sizeof crc, "%08lx",
                crc32(0L, reinterpret_cast<const Bytef*>(installer_.data()), static_cast<uInt>(installer_.size())));
  EXPECT_NE(json.find("{\"name\": \"_inst32d.exe\", \"size\": " + std::to_string(installer_.size())), std::string::npos)
      << json;
  EXPECT_NE(json.find("\"method\": \"deflated\", \"encryption\": \"traditional\", \"crc32\": \"" + std::string(crc) + "\"}"),
            std::string::npos)
      << json;

  // A changed byte inside the installer's data is damage, not a password.
  std::string archive = ReadText(root_ / "m" / medium::kArchiveFile);
  archive[archive.size() / 2] ^= 0x55;
  WriteText(root_ / "m" / medium::kArchiveFile, archive);
  std::string text = CheckMedium(root_ / "m").Text();
  EXPECT_NE(text.find("entry _inst32d.exe is damaged"), std::string::npos) << text;
  EXPECT_EQ(text.find("password ("), std::string::npos) << text;

  // Quotes inside reported texts are escaped; the readers' German failure
  // texts come with their reason.
  std::string sample = ReadText(root_ / "src/medium.toml");
  sample.replace(sample.find("\"Demo Produkt\""), 14, "'Demo \"Pro\"'");
  WriteText(root_ / "src/medium.toml", sample);
  text = CheckMedium(Build("q")).Text();
  EXPECT_NE(text.find("product \"Demo \\\"Pro\\\"\""), std::string::npos) << text;
  WriteText(root_ / "q/Setup.bmp", "BM");
  text = CheckMedium(root_ / "q").Text();
  EXPECT_NE(text.find("\"Stream-Lesefehler\" (the data end too early)"), std::string::npos) << text;

  // Two extra files of one name are named by the description's key.
  fs::create_directories(root_ / "src/a"), fs::create_directories(root_ / "src/b");
  WriteText(root_ / "src/a/readme.txt", "a"), WriteText(root_ / "src/b/README.TXT", "b");
  sample.replace(sample.find("extra_files = []"), 16, "extra_files = [\"a/readme.txt\", \"b/README.TXT\"]");
  WriteText(root_ / "src/medium.toml", sample);
  try {
    Build("twice");
    ADD_FAILURE() << "built with two files of one name";
  } catch (const ToolError& e) {
    EXPECT_NE(e.text.find("medium.extra_files ("), std::string::npos) << e.text;
    EXPECT_EQ(e.text.find(".building-"), std::string::npos) << e.text;
  }
}

}  // namespace
