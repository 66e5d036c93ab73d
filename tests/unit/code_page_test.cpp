// The code page 1252 table against the platform's own conversion (iconv),
// entry by entry and both ways.
#include "runtime/core/CodePage1252.h"

#include <gtest/gtest.h>

#include <iconv.h>

namespace {

// One iconv conversion; Convert is false where the target has no character.
struct Converter {
  Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Converter() {
    if (usable()) iconv_close(cd);
  }
  bool usable() const { return cd != reinterpret_cast<iconv_t>(-1); }
  bool Convert(const void* in, size_t inLength, void* out, size_t outLength) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* source = static_cast<char*>(const_cast<void*>(in));
    char* target = static_cast<char*>(out);
    return iconv(cd, &source, &inLength, &target, &outLength) != static_cast<size_t>(-1);
  }
  iconv_t cd;
};

}  // namespace

TEST(CodePage1252, EveryByteAndEveryCharacterConvertsAsThePlatformDoes) {
  Converter toUnicode("UTF-32LE", "CP1252"), fromUnicode("CP1252", "UTF-32LE");
  if (!toUnicode.usable() || !fromUnicode.usable()) GTEST_SKIP() << "no CP1252 conversion here";
  for (int byte = 0; byte < 256; ++byte) {
    const uint8_t in = static_cast<uint8_t>(byte);
    uint8_t out[4] = {};
    const char32_t expected = toUnicode.Convert(&in, 1, out, 4) ? out[0] | out[1] << 8 | out[2] << 16 : 0;
    ASSERT_EQ(Cp1252ToUnicode(in), expected) << std::hex << byte;
  }
  for (char32_t code = 0; code < 0x10000; ++code) {
    if (code >= 0xD800 && code <= 0xDFFF) continue;
    const uint8_t in[4] = {static_cast<uint8_t>(code), static_cast<uint8_t>(code >> 8), 0, 0};
    uint8_t expected = 0, byte = 0;
    const bool known = fromUnicode.Convert(in, 4, &expected, 1);
    ASSERT_EQ(Cp1252FromUnicode(code, byte), known) << std::hex << code;
    if (known) {
      ASSERT_EQ(byte, expected) << std::hex << code;
    }
  }
}
