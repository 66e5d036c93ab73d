// Writing value streams: the signature and values of every kind, appended to
// a byte string. The tags are the reader's (streams/ValueTags.h).
#pragma once

#include "streams/core/ValueTags.h"

#include <cstdint>
#include <string>
#include <vector>

class TValueWriter {
public:
  void Signature();

  // The smallest integer kind that holds value.
  void Int(int32_t value);
  void Int8(int8_t value);
  void Int16(int16_t value);
  void Int32(int32_t value);
  void Int64(int64_t value);

  // A short string when it fits in 255 bytes, a long one otherwise.
  void Str(const std::string& bytes);
  void ShortStr(const std::string& bytes);  // at most 255 bytes
  void LongStr(const std::string& bytes);
  void WideStr(const std::u16string& text);
  void Utf8Str(const std::string& utf8);

  void Bool(bool value);
  void Symbol(const std::string& name);  // at most 255 bytes
  void Nil();

  void BeginList();
  void End();  // closes a list, a collection, an item's properties

  void Float32(float value);
  void Float80(const uint8_t (&bytes)[10]);
  void Fixed64(int64_t scaledBy10000);
  void Date64(double value);
  void Bytes(const std::string& bytes);
  void Set(const std::vector<std::string>& names);

  // A collection: BeginCollection, then per item BeginItem (with or without
  // an index), Property + a value per property, End; finally End.
  void BeginCollection();
  void BeginItem();
  void BeginItem(int32_t index);
  void Property(const std::string& name);  // at most 255 bytes

  // Anything else: a bare tag byte, raw bytes (for damaged streams).
  void Tag(uint8_t tag);
  void Raw(const std::string& bytes);
  void RawInt32(int32_t value);

  const std::string& Data() const { return FData; }
  size_t Size() const { return FData.size(); }

private:
  template <typename T> void Put(T value);
  void Counted(uint8_t tag, const std::string& bytes);
  void ShortCounted(uint8_t tag, const std::string& bytes);

  std::string FData;
};

// The writer's conversions for the readable description formats:
// UTF-8 to UTF-16 (four-byte sequences become surrogate pairs) and UTF-8 to
// code page 1252. Both give false for malformed UTF-8; the 1252 one also for
// characters the code page does not have.
bool Utf16FromUtf8Text(const std::string& utf8, std::u16string& text);
bool Cp1252FromUtf8Text(const std::string& utf8, std::string& bytes);
// One UTF-8 character at i: its code and the index after it; false for a
// byte that starts no valid character (overlong forms, surrogates and codes
// past U+10FFFF included).
bool NextUtf8(const std::string& text, size_t& i, char32_t& code);
// Code page 1252 bytes as UTF-8; false when a byte has no character in the
// code page (0x81, 0x8D, 0x8F, 0x90, 0x9D).
bool Utf8FromCp1252Byte(uint8_t byte, std::string& utf8);
void AppendUtf8(char32_t code, std::string& utf8);
