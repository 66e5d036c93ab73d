// Reading the headers of a Windows bitmap file: the 14-byte file header, the
// info header (the 12-byte core header or one of 40 bytes or more), the
// colour masks and the colour table. Portable; the Windows bitmap picture
// builds its bitmap from the result and reads the pixel bytes after it.
#pragma once

#include "ui/pictures/core/ByteSource.h"

#include <cstdint>
#include <vector>

// Limits the loader keeps whatever the header claims.
inline constexpr uint32_t kMaxColourTableEntries = 256;
inline constexpr uint64_t kMaxBitmapPixelBytes = 256u * 1024 * 1024;  // one decoded picture
inline constexpr int32_t kMaxBitmapDimension = 65535;

// The bytes of a bitmap's pixels: rows padded to 4 bytes. Decoded JPEG
// pictures are held to kMaxBitmapPixelBytes by this measure too.
inline constexpr uint64_t BitmapPixelBytes(uint64_t width, uint64_t height, unsigned bitCount) {
  return (width * bitCount + 31) / 32 * 4 * height;
}

inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiBitfields = 3;

struct BitmapHeader {
  // The info header in its 40-byte layout; core headers are widened into it.
  uint32_t headerSize = 0;  // as stored in the file
  int32_t width = 0;
  int32_t height = 0;       // negative: rows stored top-down
  uint16_t planes = 0;
  uint16_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;
  int32_t xPelsPerMeter = 0;
  int32_t yPelsPerMeter = 0;
  uint32_t clrUsed = 0;
  uint32_t clrImportant = 0;

  bool hasMasks = false;
  uint32_t masks[3] = {0, 0, 0};  // red, green, blue
  // 4-byte entries: blue, green, red, 0. Core entries are widened.
  std::vector<uint8_t> colourTable;

  // Bytes of one row of an uncompressed picture, and of all its rows.
  uint32_t bytesPerRow = 0;
  uint32_t pixelBytes = 0;
  // The image byte count to read, already capped by what the file holds.
  uint32_t imageBytes = 0;

  bool Compressed() const { return compression != kBiRgb && compression != kBiBitfields; }
  uint32_t ColourCount() const { return static_cast<uint32_t>(colourTable.size() / 4); }
};

// Reads the headers up to the first pixel byte. Gives false for a source
// that is empty (an empty picture). Raises EInvalidGraphic "Bitmap ist
// ungültig" for a wrong type, planes other than 1, or a header outside the
// limits above, and EReadError "Stream-Lesefehler" when the data end inside
// the file header, the info header, the masks or the colour table.
bool ReadBitmapHeader(ByteSource& source, BitmapHeader& header);
