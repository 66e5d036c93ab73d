// The tags of a value stream: one byte before every value, naming the kind
// of its payload. Shared by the reader and the authoring tools' writer.
#pragma once

#include <cstdint>

enum TValueTag : uint8_t {
  tgEnd = 0,          // none; closes a list, a collection or a property run
  tgList = 1,         // values up to a tgEnd
  tgInt8 = 2,         // 1 byte, signed
  tgInt16 = 3,        // 2 bytes, signed
  tgInt32 = 4,        // 4 bytes, signed
  tgFloat80 = 5,      // 10 bytes
  tgShortStr = 6,     // 1-byte length, 8-bit text
  tgSymbol = 7,       // 1-byte length, 8-bit text
  tgFalse = 8,        // none
  tgTrue = 9,         // none
  tgBytes = 10,       // 4-byte signed length, bytes
  tgSet = 11,         // names (1-byte length each) up to a name of length 0
  tgLongStr = 12,     // 4-byte signed length, 8-bit text
  tgNil = 13,         // none
  tgCollection = 14,  // items up to a tgEnd
  tgFloat32 = 15,     // 4 bytes
  tgFixed64 = 16,     // 8 bytes: 64-bit integer, the value times 10000
  tgDate64 = 17,      // 8 bytes
  tgWideStr = 18,     // 4-byte signed length in UTF-16 code units, UTF-16LE
  tgInt64 = 19,       // 8 bytes, signed
  tgUtf8Str = 20,     // 4-byte signed length in bytes, UTF-8
};

// Tags above the last kind carry no payload when passed over.
constexpr uint8_t kLastValueTag = tgUtf8Str;

// The four bytes "TPF0" that open every value stream, read as one
// little-endian 32-bit number.
constexpr uint32_t kValueStreamSignature = 0x30465054;
