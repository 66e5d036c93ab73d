// Small facts about the files of a medium: names found as Windows finds
// them (without regard to letter case), whole-file reading, and the head of
// a Windows program or library.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace setupmedium {

// ASCII letters in lower case.
std::string Lower(std::string text);

// The file in folder whose name equals name without regard to ASCII case.
std::optional<std::filesystem::path> FindInFolder(const std::filesystem::path& folder, const std::string& name);

// A file name in code page 1252 as Windows compares it: letter case of
// ASCII and of the Latin-1 letters ignored.
std::string CaseFolded(const std::string& cp1252);
// A text in code page 1252 as UTF-8 ('?' for the bytes it leaves out).
std::string Utf8FromCp1252(const std::string& cp1252);
// A UTF-8 name as the component's name rules take it (UTF-16).
std::wstring Wide(const std::string& utf8);

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

struct WindowsImage {
  bool valid = false;  // an MZ file with a PE header
  uint16_t machine = 0;
  bool library = false;  // a DLL
};
WindowsImage ReadWindowsImage(const std::string& bytes);
// "x86 (32-bit)", "x64 (64-bit)", or the number.
std::string MachineName(uint16_t machine);
inline constexpr uint16_t kMachineI386 = 0x014C;

}  // namespace setupmedium
