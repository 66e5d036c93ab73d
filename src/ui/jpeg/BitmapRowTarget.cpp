#include "ui/jpeg/BitmapRowTarget.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"
#include "ui/pictures/Bitmap.h"

#include <vector>

void BitmapRowTarget::SetFormat(int bitsPerPixel, int width, int height) {
  bitmap_.SetPixelFormat(bitsPerPixel);
  bitmap_.SetSize(width, height);
}

uint8_t* BitmapRowTarget::Row(int row) {
  void* line = bitmap_.ScanLine(row);
  if (!line) throw EInvalidGraphic(msg::InvalidBitmap);
  return static_cast<uint8_t*>(line);
}

void BitmapRowTarget::SetPalette(const JpegPaletteEntry* entries, int count) {
  std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<WORD>(count);
  for (int i = 0; i < count; ++i)
    palette->palPalEntry[i] = PALETTEENTRY{entries[i].red, entries[i].green, entries[i].blue, 0};
  bitmap_.SetPalette(CreatePalette(palette));
  paletteChanged_ = true;
}
