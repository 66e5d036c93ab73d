// Files for tests of the medium toolkit: whole files read and written as
// bytes, and the head of a Windows program or DLL.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

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
