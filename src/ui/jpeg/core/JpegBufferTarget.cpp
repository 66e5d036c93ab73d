#include "ui/jpeg/core/JpegBufferTarget.h"

#include "runtime/core/Failures.h"

#include <cstddef>

JpegBufferTarget::JpegBufferTarget(bool bottomUp, int64_t maxPixels)
    : bottomUp_(bottomUp), maxPixels_(maxPixels) {}

void JpegBufferTarget::SetFormat(int bitsPerPixel, int width, int height) {
  // Sized in 64 bits: on 32-bit code the rows of a picture within the
  // library's limits can pass 4 GiB, which must not wrap into a small buffer.
  const uint64_t stride = (static_cast<uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
  const uint64_t bytes = stride * static_cast<uint64_t>(height);
  if (static_cast<int64_t>(width) * height > maxPixels_ || bytes > PTRDIFF_MAX)
    throw EJPEG("picture too large for this target");
  bitsPerPixel_ = bitsPerPixel;
  width_ = width;
  height_ = height;
  stride_ = static_cast<size_t>(stride);
  pixels_.resize(static_cast<size_t>(bytes));  // new memory is zeroed, as a new section is
}

uint8_t* JpegBufferTarget::Row(int row) {
  int stored = bottomUp_ ? height_ - 1 - row : row;
  return pixels_.data() + stride_ * stored;
}

void JpegBufferTarget::SetPalette(const JpegPaletteEntry* entries, int count) {
  palette_.assign(entries, entries + count);
}

JpegPaletteEntry JpegBufferTarget::Pixel(int x, int y) {
  const uint8_t* row = Row(y);
  if (bitsPerPixel_ == 8) return palette_.at(row[x]);
  const uint8_t* p = row + 3 * x;
  return {p[2], p[1], p[0]};
}
