// Reading a JPEG header and decoding a whole picture from compressed bytes
// held in memory, into an abstract row target (a bitmap in the program, a
// plain buffer in tests and fuzzing).
#pragma once

#include "ui/jpeg/core/JpegSettings.h"

#include <cstddef>
#include <cstdint>

struct JpegHeader {
  int width = 0;
  int height = 0;
  bool grayscale = false;    // the file's colour space is grayscale
  bool progressive = false;  // the file has multiple scans
};

struct JpegPaletteEntry {
  uint8_t red, green, blue;
};

// Where the decoded rows go. 24-bit rows hold blue, green, red per pixel;
// 8-bit rows hold palette indices.
class JpegRowTarget {
public:
  virtual ~JpegRowTarget() = default;
  // Makes the picture: 8 or 24 bits per pixel, the output size.
  virtual void SetFormat(int bitsPerPixel, int width, int height) = 0;
  // The memory of a row, counted from the top of the picture.
  virtual uint8_t* Row(int row) = 0;
  virtual void SetPalette(const JpegPaletteEntry* entries, int count) = 0;
};

// Raises EJPEG "JPEG-Fehler #%d" when the library cannot read the header.
JpegHeader ReadJpegHeader(const uint8_t* data, size_t size);

// The output size at a scale, computed by the library from a fresh header.
void JpegOutputSize(const uint8_t* data, size_t size, JpegScale scale, int& width, int& height);

// Decodes the whole picture into the target. Returns the number of library
// warnings (damaged data that was decoded anyway). On a failure the target
// keeps whatever rows it received, and EJPEG propagates.
int DecodeJpeg(const uint8_t* data, size_t size, const JpegSettings& settings,
               JpegRowTarget& target);
