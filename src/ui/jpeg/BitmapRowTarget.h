// Decoded rows go straight into a TBitmap's section; the quantiser's colour
// map becomes the bitmap's palette.
#pragma once

#include "ui/jpeg/core/JpegDecoder.h"

class TBitmap;

class BitmapRowTarget : public JpegRowTarget {
public:
  explicit BitmapRowTarget(TBitmap& bitmap) : bitmap_(bitmap) {}

  void SetFormat(int bitsPerPixel, int width, int height) override;
  uint8_t* Row(int row) override;
  void SetPalette(const JpegPaletteEntry* entries, int count) override;

  bool PaletteChanged() const { return paletteChanged_; }

private:
  TBitmap& bitmap_;
  bool paletteChanged_ = false;
};
