#include "MediumFiles.h"

#include "vswriter/ValueWriter.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace setupmedium {
namespace {

uint32_t Load32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

}  // namespace

std::string Lower(std::string text) {
  for (char& c : text) if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::optional<fs::path> FindInFolder(const fs::path& folder, const std::string& name) {
  std::error_code error;
  if (fs::is_regular_file(folder / fs::u8path(name), error)) return folder / fs::u8path(name);
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    if (Lower(it->path().filename().u8string()) == Lower(name) && it->is_regular_file(error)) return it->path();
  return std::nullopt;
}

std::string CaseFolded(const std::string& cp1252) {
  std::string text = cp1252;
  for (char& c : text) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) c = static_cast<char>(b + 0x20);
  }
  return text;
}

std::string Utf8FromCp1252(const std::string& cp1252) {
  std::string utf8;
  for (unsigned char c : cp1252)
    if (!Utf8FromCp1252Byte(c, utf8)) utf8 += '?';
  return utf8;
}

std::wstring Wide(const std::string& utf8) {
  std::u16string text;
  Utf16FromUtf8Text(utf8, text);
  return std::wstring(text.begin(), text.end());
}

std::optional<std::string> ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return bytes;
}

WindowsImage ReadWindowsImage(const std::string& bytes) {
  WindowsImage image;
  if (bytes.size() < 64 || bytes[0] != 'M' || bytes[1] != 'Z') return image;
  const uint32_t pe = Load32(bytes, 0x3C);
  if (pe > bytes.size() - 24 || bytes.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return image;
  image.valid = true;
  image.machine = static_cast<uint16_t>(Load32(bytes, pe + 4) & 0xFFFF);
  const uint16_t characteristics = static_cast<uint16_t>(Load32(bytes, pe + 20) >> 16);
  image.library = (characteristics & 0x2000) != 0;
  return image;
}

std::string MachineName(uint16_t machine) {
  switch (machine) {
    case 0x014C: return "x86 (32-bit)";
    case 0x8664: return "x64 (64-bit)";
    case 0xAA64: return "ARM64";
    default: {
      char text[16];
      std::snprintf(text, sizeof text, "0x%04X", machine);
      return std::string("machine ") + text;
    }
  }
}

}  // namespace setupmedium
