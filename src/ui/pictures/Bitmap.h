// Bitmap pictures. Besides loading bitmap files, the JPEG picture kind
// decodes into a TBitmap through SetPixelFormat, SetSize, ScanLine and
// SetPalette.
#pragma once

#include "runtime/Handles.h"
#include "ui/pictures/Graphic.h"

#include <cstdint>
#include <vector>

struct BitmapHeader;
class ByteSource;

class TBitmap : public TGraphic {
public:
  TBitmap();
  ~TBitmap() override;

  TGRAPHIC_OPERATIONS;

  // 8 or 24 bits per pixel for the next SetSize.
  void SetPixelFormat(int bitsPerPixel);
  int PixelFormat() const;
  // Makes a bottom-up device-independent section of the pixel format.
  // An 8-bit section starts with a grey ramp as its colour table.
  void SetSize(int width, int height);
  // The memory of a row, counted from the top of the picture; nullptr for
  // a bitmap that is not a section or a row outside it.
  void* ScanLine(int row);
  // Takes over the palette (for 8-bit pictures); an 8-bit section takes its
  // entries as its colour table too.
  void SetPalette(HPALETTE palette);
  HPALETTE Palette() const;
  HBITMAP Handle() const;
  // Bits per pixel of the bitmap held (0 when empty).
  int BitCount() const { return bitCount_; }

private:
  void Clear();
  // A DIB section for info, its bits in bits_; refused as the bitmap when
  // the platform makes none.
  void CreateSection(const std::vector<uint8_t>& info);
  void MakeSection(const std::vector<uint8_t>& info, ByteSource& pixels, uint32_t byteCount);
  void MakeDeviceBitmap(const std::vector<uint8_t>& info, const BitmapHeader& header,
                        ByteSource& pixels);
  HPALETTE PaletteForDrawing(HDC dc);

  UniqueBitmap handle_;
  UniquePalette palette_;
  bool paletteSettled_ = false;  // the first draw decided on a palette
  std::vector<uint8_t> colourTable_;  // 4-byte entries: blue, green, red, 0
  int width_ = 0;
  int height_ = 0;
  int bitCount_ = 0;
  int pixelFormat_ = 24;
  uint8_t* bits_ = nullptr;  // section memory
  int stride_ = 0;
  bool topDown_ = false;
};

// A palette of the 4-byte colour table entries (blue, green, red, 0).
HPALETTE PaletteFromColourTable(const std::vector<uint8_t>& table);
