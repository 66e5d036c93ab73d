// Bitmap pictures. Besides loading bitmap files, the JPEG picture kind
// decodes into a TBitmap through SetPixelFormat, SetSize, ScanLine and
// SetPalette.
#pragma once

#include "ui/pictures/Graphic.h"

class TBitmap : public TGraphic {
public:
  TBitmap();
  ~TBitmap() override;

  void LoadFromStream(TStream& stream) override;
  int Width() override;
  int Height() override;
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  bool Empty() override;
  void Draw(HDC dc, const RECT& rect) override;

  // 8 or 24 bits per pixel for the next SetSize.
  void SetPixelFormat(int bitsPerPixel);
  int PixelFormat() const;
  // Makes a bottom-up device-independent section of the pixel format.
  void SetSize(int width, int height);
  // The memory of a row, counted from the top of the picture.
  void* ScanLine(int row);
  // Takes over the palette (for 8-bit pictures).
  void SetPalette(HPALETTE palette);
  HPALETTE Palette() const;
  HBITMAP Handle() const;
};
