// Writes test pictures as bytes: bitmap files with any header kind, pixel
// rows packed at any depth, run-length encoded rows, and the placeable
// header in front of a Windows metafile. Portable and header-only, shared
// by the native tests, the Windows-side tests and the corpus generator.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace picture_writer {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
inline void Set32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

struct Bmp {
  int32_t width = 1;
  int32_t height = 1;           // negative: top-down
  uint16_t bitCount = 24;
  uint16_t planes = 1;
  uint32_t compression = 0;
  uint32_t infoSize = 40;       // 12: the core header
  uint32_t clrUsed = 0;
  uint32_t sizeImage = 0;
  std::vector<uint32_t> colours;  // 0x00RRGGBB, written 3 or 4 bytes each
  std::vector<uint32_t> masks;    // red, green, blue after a 40-byte header
  Bytes pixels;                   // as stored after the colour table
};

inline Bytes Write(const Bmp& s) {
  Bytes b;
  Put16(b, 0x4D42);
  Put32(b, 0);  // file size, patched below
  Put32(b, 0);
  Put32(b, 0);  // offset of the pixels, patched below
  Put32(b, s.infoSize);
  if (s.infoSize == 12) {
    Put16(b, static_cast<uint32_t>(s.width));
    Put16(b, static_cast<uint32_t>(s.height));
    Put16(b, s.planes);
    Put16(b, s.bitCount);
  } else {
    Put32(b, static_cast<uint32_t>(s.width));
    Put32(b, static_cast<uint32_t>(s.height));
    Put16(b, s.planes);
    Put16(b, s.bitCount);
    Put32(b, s.compression);
    // Run-length encoded pictures state their size, as the format asks.
    const bool rle = s.compression == 1 || s.compression == 2;
    Put32(b, s.sizeImage == 0 && rle ? static_cast<uint32_t>(s.pixels.size()) : s.sizeImage);
    Put32(b, 3780);
    Put32(b, 3780);
    Put32(b, s.clrUsed);
    Put32(b, 0);
    for (uint32_t i = 40; i < s.infoSize; ++i) b.push_back(0);
  }
  for (uint32_t m : s.masks) Put32(b, m);
  for (uint32_t c : s.colours) {
    b.push_back(static_cast<uint8_t>(c));
    b.push_back(static_cast<uint8_t>(c >> 8));
    b.push_back(static_cast<uint8_t>(c >> 16));
    if (s.infoSize != 12) b.push_back(0);
  }
  Set32(b, 10, static_cast<uint32_t>(b.size()));
  b.insert(b.end(), s.pixels.begin(), s.pixels.end());
  Set32(b, 2, static_cast<uint32_t>(b.size()));
  return b;
}

// Rows packed as an uncompressed bitmap stores them (4-byte aligned),
// bottom row first unless topDown. value(x, y) is the raw pixel value with
// y counted from the top: a colour index, a 16-bit word, or 0x00RRGGBB.
inline Bytes Rows(int width, int height, int bitCount, bool topDown,
                  const std::function<uint32_t(int, int)>& value) {
  const size_t stride = (static_cast<size_t>(width) * bitCount + 31) / 32 * 4;
  Bytes b(stride * height, 0);
  for (int row = 0; row < height; ++row) {
    const int y = topDown ? row : height - 1 - row;
    uint8_t* line = b.data() + stride * row;
    for (int x = 0; x < width; ++x) {
      const uint32_t v = value(x, y);
      switch (bitCount) {
        case 1: line[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8)); break;
        case 4: line[x / 2] |= static_cast<uint8_t>((v & 15) << (x % 2 ? 0 : 4)); break;
        case 8: line[x] = static_cast<uint8_t>(v); break;
        case 16: line[x * 2] = static_cast<uint8_t>(v); line[x * 2 + 1] = static_cast<uint8_t>(v >> 8); break;
        case 24:
          line[x * 3] = static_cast<uint8_t>(v);
          line[x * 3 + 1] = static_cast<uint8_t>(v >> 8);
          line[x * 3 + 2] = static_cast<uint8_t>(v >> 16);
          break;
        case 32:
          for (int i = 0; i < 4; ++i) line[x * 4 + i] = static_cast<uint8_t>(v >> (8 * i));
          break;
      }
    }
  }
  return b;
}

// Run-length encoded rows, bottom row first, each row one run per pixel
// value change (RLE8) or per pair of nibbles (RLE4), closed by end of line,
// the last by end of bitmap.
inline Bytes Rle(int width, int height, int bitCount, const std::function<uint32_t(int, int)>& value) {
  Bytes b;
  for (int row = 0; row < height; ++row) {
    const int y = height - 1 - row;
    int x = 0;
    while (x < width) {
      const uint32_t v = value(x, y);
      int n = 1;
      if (bitCount == 8) {
        while (x + n < width && n < 255 && value(x + n, y) == v) ++n;
        b.push_back(static_cast<uint8_t>(n));
        b.push_back(static_cast<uint8_t>(v));
      } else {
        // A run of two alternating nibbles: this pixel and the next.
        const uint32_t w = x + 1 < width ? value(x + 1, y) : v;
        n = x + 1 < width ? 2 : 1;
        b.push_back(static_cast<uint8_t>(n));
        b.push_back(static_cast<uint8_t>(((v & 15) << 4) | (w & 15)));
      }
      x += n;
    }
    b.push_back(0);
    b.push_back(row + 1 < height ? 0 : 1);
  }
  return b;
}

// A placeable header in front of a Windows metafile.
inline Bytes Placeable(int16_t left, int16_t top, int16_t right, int16_t bottom,
                       uint16_t unitsPerInch, const Bytes& metafile, bool rightChecksum = true) {
  Bytes b;
  Put32(b, 0x9AC6CDD7);
  Put16(b, 0);
  Put16(b, static_cast<uint16_t>(left));
  Put16(b, static_cast<uint16_t>(top));
  Put16(b, static_cast<uint16_t>(right));
  Put16(b, static_cast<uint16_t>(bottom));
  Put16(b, unitsPerInch);
  Put32(b, 0);
  uint16_t sum = 0;
  for (int i = 0; i < 10; ++i) sum ^= static_cast<uint16_t>(b[i * 2] | (b[i * 2 + 1] << 8));
  Put16(b, rightChecksum ? sum : static_cast<uint16_t>(sum ^ 1));
  b.insert(b.end(), metafile.begin(), metafile.end());
  return b;
}

// The first 100 bytes of an enhanced metafile's header with the fields the
// loader reads: record type 1, frame, signature, total size and the
// reference device; the rest of the file is filled with zeros.
inline Bytes EnhancedShell(int32_t frameLeft, int32_t frameTop, int32_t frameRight,
                           int32_t frameBottom, uint32_t totalSize) {
  Bytes b(100 > totalSize ? 100 : totalSize, 0);
  Set32(b, 0, 1);
  Set32(b, 4, 88);
  Set32(b, 24, static_cast<uint32_t>(frameLeft));
  Set32(b, 28, static_cast<uint32_t>(frameTop));
  Set32(b, 32, static_cast<uint32_t>(frameRight));
  Set32(b, 36, static_cast<uint32_t>(frameBottom));
  Set32(b, 40, 0x464D4520);
  Set32(b, 44, 0x10000);
  Set32(b, 48, totalSize);
  Set32(b, 72, 1024);  // reference device: 1024 x 768 pixels,
  Set32(b, 76, 768);
  Set32(b, 80, 320);   // 320 x 240 millimetres
  Set32(b, 84, 240);
  return b;
}

}  // namespace picture_writer
