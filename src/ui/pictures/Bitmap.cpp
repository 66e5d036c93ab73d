#include "ui/pictures/Bitmap.h"

#include "runtime/Checks.h"
#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"
#include "ui/pictures/core/BitmapHeader.h"
#include "ui/pictures/core/StreamByteSource.h"

#include <cstring>

namespace {

constexpr size_t kInfoHeaderBytes = sizeof(BITMAPINFOHEADER);

// The platform refused a bitmap: its own error when it reports one.
[[noreturn]] void RefuseBitmap() {
  if (GetLastError() != 0) RaiseLastOSError();
  throw EInvalidGraphic(msg::InvalidBitmap);
}

// BITMAPINFO as CreateDIBSection and CreateDIBitmap take it: the 40-byte
// header, the masks when there are any, then the colour table.
std::vector<uint8_t> MakeInfo(const BitmapHeader& h) {
  std::vector<uint8_t> info(kInfoHeaderBytes + (h.hasMasks ? 12 : 0) + h.colourTable.size());
  BITMAPINFOHEADER bih = {};
  bih.biSize = kInfoHeaderBytes;
  bih.biWidth = h.width;
  bih.biHeight = h.height;
  bih.biPlanes = 1;
  bih.biBitCount = h.bitCount;
  bih.biCompression = h.compression;
  bih.biSizeImage = h.Compressed() ? h.imageBytes : h.sizeImage;
  bih.biXPelsPerMeter = h.xPelsPerMeter;
  bih.biYPelsPerMeter = h.yPelsPerMeter;
  bih.biClrUsed = h.ColourCount();
  bih.biClrImportant = h.clrImportant <= h.ColourCount() ? h.clrImportant : 0;
  std::memcpy(info.data(), &bih, sizeof bih);
  size_t at = kInfoHeaderBytes;
  if (h.hasMasks) {
    std::memcpy(info.data() + at, h.masks, 12);
    at += 12;
  }
  if (!h.colourTable.empty()) std::memcpy(info.data() + at, h.colourTable.data(), h.colourTable.size());
  return info;
}

std::vector<uint8_t> GreyRamp() {
  std::vector<uint8_t> table(256 * 4, 0);
  for (int i = 0; i < 256; ++i)
    table[i * 4] = table[i * 4 + 1] = table[i * 4 + 2] = static_cast<uint8_t>(i);
  return table;
}

int DeviceBitsPerPixel(HDC dc) { return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES); }

}  // namespace

HPALETTE PaletteFromColourTable(const std::vector<uint8_t>& table) {
  const size_t count = table.size() / 4;
  if (count == 0) return nullptr;
  std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<WORD>(count);
  for (size_t i = 0; i < count; ++i) {
    palette->palPalEntry[i].peRed = table[i * 4 + 2];
    palette->palPalEntry[i].peGreen = table[i * 4 + 1];
    palette->palPalEntry[i].peBlue = table[i * 4 + 0];
    palette->palPalEntry[i].peFlags = 0;
  }
  return CreatePalette(palette);
}

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

void TBitmap::Clear() {
  handle_.reset();
  palette_.reset();
  paletteSettled_ = false;
  colourTable_.clear();
  width_ = height_ = bitCount_ = 0;
  bits_ = nullptr;
  stride_ = 0;
  topDown_ = false;
}

void TBitmap::LoadFromStream(TStream& stream) {
  Clear();
  StreamByteSource source(stream);
  BitmapHeader header;
  if (ReadBitmapHeader(source, header)) {
    const std::vector<uint8_t> info = MakeInfo(header);
    if (header.Compressed())
      MakeDeviceBitmap(info, header, source);
    else
      MakeSection(info, source, header.imageBytes);
    width_ = header.width;
    height_ = header.height < 0 ? -header.height : header.height;
    bitCount_ = header.bitCount;
    topDown_ = header.height < 0;
    stride_ = static_cast<int>(header.bytesPerRow);
    colourTable_ = header.colourTable;
    if (bitCount_ > 8 && !colourTable_.empty()) palette_.reset(PaletteFromColourTable(colourTable_));
  }
  Changed();
}

void TBitmap::CreateSection(const std::vector<uint8_t>& info) {
  WindowDC screen(nullptr);
  void* bits = nullptr;
  SetLastError(0);
  HBITMAP section = CreateDIBSection(screen.get(), reinterpret_cast<const BITMAPINFO*>(info.data()),
                                     DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section) RefuseBitmap();
  handle_.reset(section);
  bits_ = static_cast<uint8_t*>(bits);
}

void TBitmap::MakeSection(const std::vector<uint8_t>& info, ByteSource& pixels,
                          uint32_t byteCount) {
  CreateSection(info);
  // At most what the file still holds; the rest keeps what the platform put there.
  pixels.ReadUpTo(bits_, byteCount);
}

void TBitmap::MakeDeviceBitmap(const std::vector<uint8_t>& info, const BitmapHeader& header,
                               ByteSource& pixels) {
  std::vector<uint8_t> data(header.imageBytes);
  pixels.Read(data.data(), data.size());
  // The bitmap takes the format of the device context it is made for, and
  // its colours come through the palette realised there: the colour
  // table's palette, not the screen's.
  WindowDC screen(nullptr);
  UniquePalette palette(PaletteFromColourTable(header.colourTable));
  PaletteSelection select(screen.get(), palette.get(), false);
  const auto* bih = reinterpret_cast<const BITMAPINFOHEADER*>(info.data());
  SetLastError(0);
  HBITMAP bitmap = CreateDIBitmap(screen.get(), bih, CBM_INIT, data.data(),
                                  reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
  if (!bitmap) RefuseBitmap();
  handle_.reset(bitmap);
}

int TBitmap::Width() { return width_; }
int TBitmap::Height() { return height_; }
void TBitmap::SetWidth(int width) { SetSize(width, height_); }
void TBitmap::SetHeight(int height) { SetSize(width_, height); }
bool TBitmap::Empty() { return !handle_; }

void TBitmap::SetPixelFormat(int bitsPerPixel) { pixelFormat_ = bitsPerPixel == 8 ? 8 : 24; }
int TBitmap::PixelFormat() const { return pixelFormat_; }

void TBitmap::SetSize(int width, int height) {
  Clear();
  if (width > 0 && height > 0) {
    BitmapHeader h;
    h.width = width;
    h.height = height;
    h.bitCount = static_cast<uint16_t>(pixelFormat_);
    if (pixelFormat_ == 8) h.colourTable = GreyRamp();
    CreateSection(MakeInfo(h));
    width_ = width;
    height_ = height;
    bitCount_ = pixelFormat_;
    stride_ = (width * pixelFormat_ + 31) / 32 * 4;
    colourTable_ = h.colourTable;
  }
  Changed();
}

void* TBitmap::ScanLine(int row) {
  if (!bits_ || row < 0 || row >= height_) return nullptr;
  const int stored = topDown_ ? row : height_ - 1 - row;
  return bits_ + static_cast<size_t>(stored) * stride_;
}

void TBitmap::SetPalette(HPALETTE palette) {
  palette_.reset(palette);
  paletteSettled_ = true;
  if (palette && bits_ && bitCount_ <= 8) {
    PALETTEENTRY entries[256];
    const UINT count = GetPaletteEntries(palette, 0, 256, entries);
    std::vector<RGBQUAD> table(count);
    colourTable_.assign(count * 4, 0);
    for (UINT i = 0; i < count; ++i) {
      table[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
      std::memcpy(&colourTable_[i * 4], &table[i], 4);
    }
    WindowDC screen(nullptr);
    UniqueMemDC memory(CreateCompatibleDC(screen.get()));
    SelectionGuard select(memory.get(), handle_.get());
    SetDIBColorTable(memory.get(), 0, count, table.data());
  }
  Changed();
}

HPALETTE TBitmap::Palette() const { return palette_.get(); }
HBITMAP TBitmap::Handle() const { return handle_.get(); }

HPALETTE TBitmap::PaletteForDrawing(HDC dc) {
  if (!paletteSettled_) {
    paletteSettled_ = true;
    if (!palette_) {
      if (!colourTable_.empty())
        palette_.reset(PaletteFromColourTable(colourTable_));
      else if (DeviceBitsPerPixel(dc) < bitCount_)
        palette_.reset(CreateHalftonePalette(dc));
    }
  }
  return palette_.get();
}

void TBitmap::Draw(HDC dc, const RECT& rect) {
  if (!handle_) return;
  UniqueMemDC memory(CreateCompatibleDC(dc));
  SelectionGuard select(memory.get(), handle_.get());

  HPALETTE palette = PaletteForDrawing(dc);
  PaletteSelection target(dc, palette, true);
  PaletteSelection source(memory.get(), palette, true);

  const int deviceBits = DeviceBitsPerPixel(dc);
  const int oldMode = GetStretchBltMode(dc);
  if (deviceBits <= 8 && deviceBits < bitCount_) {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
  } else if (bitCount_ != 1) {
    SetStretchBltMode(dc, COLORONCOLOR);
  }
  StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory.get(),
             0, 0, width_, height_, SRCCOPY);
  SetStretchBltMode(dc, oldMode);
}
