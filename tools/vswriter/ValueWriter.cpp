#include "vswriter/ValueWriter.h"

#include "runtime/core/CodePage1252.h"

#include <cstring>
#include <stdexcept>

namespace {

// Each character of utf8 handed to put, which appends it to a result or
// refuses it; out takes the result only when every character went.
template <typename Text, typename Put>
bool ConvertUtf8(const std::string& utf8, Text& out, Put put) {
  Text result;
  char32_t code;
  for (size_t i = 0; i < utf8.size();)
    if (!NextUtf8(utf8, i, code) || !put(code, result)) return false;
  out = std::move(result);
  return true;
}

}  // namespace

bool NextUtf8(const std::string& text, size_t& i, char32_t& code) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char lead = p[i];
  if (lead < 0x80) {
    code = lead;
    ++i;
    return true;
  }
  const int extra = lead < 0xC2 ? -1 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF5 ? 3 : -1;
  if (extra < 0 || i + static_cast<size_t>(extra) >= text.size()) return false;
  code = lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if ((p[i + k] & 0xC0) != 0x80) return false;
    code = code << 6 | (p[i + k] & 0x3F);
  }
  if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
      (code >= 0xD800 && code <= 0xDFFF))
    return false;
  i += static_cast<size_t>(extra) + 1;
  return true;
}

bool Utf16FromUtf8Text(const std::string& utf8, std::u16string& text) {
  return ConvertUtf8(utf8, text, [](char32_t code, std::u16string& units) {
    if (code < 0x10000) {
      units += static_cast<char16_t>(code);
    } else {
      units += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    }
    return true;
  });
}

bool Cp1252FromUtf8Text(const std::string& utf8, std::string& bytes) {
  return ConvertUtf8(utf8, bytes, [](char32_t code, std::string& result) {
    uint8_t byte;
    if (!Cp1252FromUnicode(code, byte)) return false;
    result += static_cast<char>(byte);
    return true;
  });
}

void AppendUtf8(char32_t code, std::string& utf8) {
  if (code < 0x80) {
    utf8 += static_cast<char>(code);
  } else if (code < 0x800) {
    utf8 += static_cast<char>(0xC0 | (code >> 6));
    utf8 += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    utf8 += static_cast<char>(0xE0 | (code >> 12));
    utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    utf8 += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    utf8 += static_cast<char>(0xF0 | (code >> 18));
    utf8 += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    utf8 += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool Utf8FromCp1252Byte(uint8_t byte, std::string& utf8) {
  const char32_t code = Cp1252ToUnicode(byte);
  if (code == 0 && byte != 0) return false;
  AppendUtf8(code, utf8);
  return true;
}

// ---- TValueWriter ------------------------------------------------------------

template <typename T>
void TValueWriter::Put(T value) {
  char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));  // little-endian hosts, as the format
  FData.append(bytes, sizeof(T));
}

void TValueWriter::Signature() { Put<uint32_t>(kValueStreamSignature); }

void TValueWriter::Int(int32_t value) {
  if (value >= -128 && value <= 127)
    Int8(static_cast<int8_t>(value));
  else if (value >= -32768 && value <= 32767)
    Int16(static_cast<int16_t>(value));
  else
    Int32(value);
}

void TValueWriter::Int8(int8_t value) { Tag(tgInt8); Put(value); }
void TValueWriter::Int16(int16_t value) { Tag(tgInt16); Put(value); }
void TValueWriter::Int32(int32_t value) { Tag(tgInt32); Put(value); }
void TValueWriter::Int64(int64_t value) { Tag(tgInt64); Put(value); }

void TValueWriter::ShortCounted(uint8_t tag, const std::string& bytes) {
  if (bytes.size() > 255) throw std::length_error("text longer than 255 bytes");
  Tag(tag);
  Put(static_cast<uint8_t>(bytes.size()));
  FData += bytes;
}

void TValueWriter::Counted(uint8_t tag, const std::string& bytes) {
  if (bytes.size() > 0x7FFFFFFF) throw std::length_error("value longer than 2 GB");
  Tag(tag);
  Put(static_cast<int32_t>(bytes.size()));
  FData += bytes;
}

void TValueWriter::Str(const std::string& bytes) {
  if (bytes.size() <= 255) ShortStr(bytes); else LongStr(bytes);
}
void TValueWriter::ShortStr(const std::string& bytes) { ShortCounted(tgShortStr, bytes); }
void TValueWriter::LongStr(const std::string& bytes) { Counted(tgLongStr, bytes); }
void TValueWriter::Utf8Str(const std::string& utf8) { Counted(tgUtf8Str, utf8); }

void TValueWriter::WideStr(const std::u16string& text) {
  Tag(tgWideStr);
  Put(static_cast<int32_t>(text.size()));
  for (char16_t unit : text) Put(static_cast<uint16_t>(unit));
}

void TValueWriter::Bool(bool value) { Tag(value ? tgTrue : tgFalse); }
void TValueWriter::Symbol(const std::string& name) { ShortCounted(tgSymbol, name); }
void TValueWriter::Nil() { Tag(tgNil); }
void TValueWriter::BeginList() { Tag(tgList); }
void TValueWriter::End() { Tag(tgEnd); }

void TValueWriter::Float32(float value) { Tag(tgFloat32); Put(value); }
void TValueWriter::Float80(const uint8_t (&bytes)[10]) {
  Tag(tgFloat80);
  FData.append(reinterpret_cast<const char*>(bytes), 10);
}
void TValueWriter::Fixed64(int64_t scaledBy10000) { Tag(tgFixed64); Put(scaledBy10000); }
void TValueWriter::Date64(double value) { Tag(tgDate64); Put(value); }
void TValueWriter::Bytes(const std::string& bytes) { Counted(tgBytes, bytes); }

void TValueWriter::Set(const std::vector<std::string>& names) {
  Tag(tgSet);
  for (const std::string& name : names) {
    if (name.empty() || name.size() > 255) throw std::length_error("set name of 1 to 255 bytes");
    Put(static_cast<uint8_t>(name.size()));
    FData += name;
  }
  Put<uint8_t>(0);
}

void TValueWriter::BeginCollection() { Tag(tgCollection); }
void TValueWriter::BeginItem() { Tag(tgList); }
void TValueWriter::BeginItem(int32_t index) { Int(index); Tag(tgList); }
void TValueWriter::Property(const std::string& name) {
  if (name.size() > 255) throw std::length_error("property name longer than 255 bytes");
  Put(static_cast<uint8_t>(name.size()));
  FData += name;
}

void TValueWriter::Tag(uint8_t tag) { FData += static_cast<char>(tag); }
void TValueWriter::Raw(const std::string& bytes) { FData += bytes; }
void TValueWriter::RawInt32(int32_t value) { Put(value); }
