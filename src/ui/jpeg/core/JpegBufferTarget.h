// A row target in plain memory laid out like a device-independent bitmap:
// rows padded to 4 bytes, stored bottom-up or top-down. Used where there is
// no window system (tests, fuzzing, benchmarks) and to size-check inputs.
#pragma once

#include "ui/jpeg/core/JpegDecoder.h"

#include <cstdint>
#include <vector>

class JpegBufferTarget : public JpegRowTarget {
public:
  // maxPixels bounds the picture's area; a bigger one is refused with
  // EJPEG before any memory is taken.
  explicit JpegBufferTarget(bool bottomUp = true, int64_t maxPixels = INT64_MAX);

  void SetFormat(int bitsPerPixel, int width, int height) override;
  uint8_t* Row(int row) override;
  void SetPalette(const JpegPaletteEntry* entries, int count) override;

  int BitsPerPixel() const { return bitsPerPixel_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  size_t Stride() const { return stride_; }
  const std::vector<JpegPaletteEntry>& Palette() const { return palette_; }
  // Red, green, blue of a pixel, through the palette for 8-bit pictures.
  JpegPaletteEntry Pixel(int x, int y);

private:
  bool bottomUp_;
  int64_t maxPixels_;
  int bitsPerPixel_ = 0;
  int width_ = 0;
  int height_ = 0;
  size_t stride_ = 0;
  std::vector<uint8_t> pixels_;
  std::vector<JpegPaletteEntry> palette_;
};
