#include "runtime/CodePage.h"

namespace {

// Code page 1252 at 0x80..0x9F; the rest of 0xA0..0xFF equals Latin-1.
const char16_t kHighHalf[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ToCp1252(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (int i = 0; i < 32; ++i)
    if (kHighHalf[i] != 0 && kHighHalf[i] == unit) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

std::string AnsiFromUtf16(const std::u16string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    // A surrogate pair is one character of the text, and one '?' here.
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() &&
        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
      ++i;
    result += ToCp1252(unit);
  }
  return result;
}
