// Files for tests of the medium toolkit: whole files read and written as
// bytes, the head of a Windows program or DLL, and a folder per test with
// the files of the sample medium description.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteText(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A Windows image head: MZ, then the PE header with machine (the i686
// build's by default) and flags.
inline std::string WindowsImageBytes(bool library, uint16_t machine = 0x014C) {
  std::string b(0x40, '\0');
  b[0] = 'M', b[1] = 'Z', b[0x3C] = 0x40;
  b += std::string("PE\0\0", 4);
  b += static_cast<char>(machine & 0xFF), b += static_cast<char>(machine >> 8);
  b += std::string(16, '\0');
  const uint16_t flags = library ? 0x2102 : 0x0102;
  b += static_cast<char>(flags & 0xFF), b += static_cast<char>(flags >> 8);
  return b + std::string(64, '\0');
}

// A fresh folder per test (root_) whose src/ holds the program files the
// sample description names, the installer a program head.
class MediumFolderTest : public ::testing::Test {
public:
  using Changes = std::vector<std::pair<std::string, std::string>>;

protected:
  void SetUp() override {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            ("setupmedium-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             test->test_suite_name() + "-" + test->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "src");
    WriteText(root_ / "src/Setup.exe", WindowsImageBytes(false));
    WriteText(root_ / "src/XceedZip.dll", WindowsImageBytes(true));
    WriteText(root_ / "src/installer.exe", WindowsImageBytes(false));
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  // src/medium.toml: the sample description with each (old, new) text replaced.
  std::filesystem::path Describe(const Changes& changes = {}) {
    std::string text = ReadText(SETUPMEDIUM_SAMPLE);
    for (const auto& [from, to] : changes) {
      const size_t at = text.find(from);
      EXPECT_NE(at, std::string::npos) << from;
      if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    WriteText(root_ / "src/medium.toml", text);
    return root_ / "src/medium.toml";
  }

  std::filesystem::path root_;
};
