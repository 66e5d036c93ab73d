#include "runtime/core/CodePage.h"
#include "runtime/core/CodePage1252.h"

namespace {

char ToCp1252(char16_t unit) {
  uint8_t byte;
  return Cp1252FromUnicode(unit, byte) ? static_cast<char>(byte) : '?';
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
