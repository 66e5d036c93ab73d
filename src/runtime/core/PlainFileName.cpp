#include "runtime/core/PlainFileName.h"

namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; }

bool EqualsUpper(const std::string& text, const char* upper) {
  size_t i = 0;
  for (; upper[i] != '\0'; ++i)
    if (i >= text.size() || UpperAscii(text[i]) != upper[i]) return false;
  return i == text.size();
}

bool IsDeviceDigit(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return (c >= '1' && c <= '9') || u == 0xB9 || u == 0xB2 || u == 0xB3;  // superscript 1, 2, 3
}

// The platform ignores an extension and the blanks before it.
bool IsDeviceName(const std::string& name) {
  std::string base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (EqualsUpper(base, device)) return true;
  if (base.size() != 4 || !IsDeviceDigit(base[3])) return false;
  const std::string stem = base.substr(0, 3);
  return EqualsUpper(stem, "COM") || EqualsUpper(stem, "LPT");
}

}  // namespace

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name.find_first_of("\\/:") != std::string::npos) return false;
  if (name.find_first_not_of('.') == std::string::npos) return false;
  return !IsDeviceName(name);
}
