#include "ui/pictures/Metafile.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"
#include "ui/pictures/core/MetafileHeader.h"
#include "ui/pictures/core/StreamByteSource.h"

#include <vector>

namespace {

constexpr UINT kMaxPaletteEntries = 256;

[[noreturn]] void Invalid() { throw EInvalidGraphic(msg::InvalidMetafile); }

HENHMETAFILE FromEnhanced(const MetafileData& data) {
  HENHMETAFILE handle = SetEnhMetaFileBits(static_cast<UINT>(data.bytes.size()), data.bytes.data());
  if (!handle) Invalid();
  return handle;
}

// A Windows metafile is converted twice: once to learn the frame the
// conversion gives it, then with that frame as the picture's extents.
HENHMETAFILE FromWindowsMetafile(const MetafileData& data) {
  METAFILEPICT picture = {MM_ANISOTROPIC, 0, 0, nullptr};
  const UINT size = static_cast<UINT>(data.bytes.size());
  UniqueEnhMetaFile first(SetWinMetaFileBits(size, data.bytes.data(), nullptr, &picture));
  if (!first) Invalid();
  ENHMETAHEADER header = {};
  GetEnhMetaFileHeader(first.get(), sizeof header, &header);
  first.reset();
  picture.xExt = header.rclFrame.right;
  picture.yExt = header.rclFrame.bottom;
  HENHMETAFILE handle = SetWinMetaFileBits(size, data.bytes.data(), nullptr, &picture);
  if (!handle) Invalid();
  return handle;
}

}  // namespace

int MetafileScreenResolution() {
  static const int pixelsPerInch = [] {
    WindowDC screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
  }();
  return pixelsPerInch;
}

TMetafile::TMetafile() { TGraphic::SetTransparent(true); }
TMetafile::~TMetafile() = default;

void TMetafile::LoadFromStream(TStream& stream) {
  StreamByteSource source(stream);
  const MetafileData data = ReadMetafile(source);
  UniqueEnhMetaFile handle(data.enhanced ? FromEnhanced(data) : FromWindowsMetafile(data));
  handle_ = std::move(handle);
  palette_.reset();
  paletteSettled_ = false;
  enhanced_ = data.enhanced;
  frameWidth_ = data.frameWidth;
  frameHeight_ = data.frameHeight;
  unitsPerInch_ = data.unitsPerInch;
  Changed();
}

namespace {

MetafileReference ReferenceOf(HENHMETAFILE handle) {
  ENHMETAHEADER header = {};
  GetEnhMetaFileHeader(handle, sizeof header, &header);
  return MetafileReference{header.szlDevice.cx, header.szlDevice.cy, header.szlMillimeters.cx,
                           header.szlMillimeters.cy};
}

MetafileData SizesOf(int frameWidth, int frameHeight, uint16_t unitsPerInch) {
  MetafileData data;
  data.frameWidth = frameWidth;
  data.frameHeight = frameHeight;
  data.unitsPerInch = unitsPerInch;
  return data;
}

}  // namespace

int TMetafile::Width() {
  if (!handle_) return 0;
  return MetafilePixelWidth(SizesOf(frameWidth_, frameHeight_, unitsPerInch_),
                            MetafileScreenResolution(), ReferenceOf(handle_.get()));
}

int TMetafile::Height() {
  if (!handle_) return 0;
  return MetafilePixelHeight(SizesOf(frameWidth_, frameHeight_, unitsPerInch_),
                             MetafileScreenResolution(), ReferenceOf(handle_.get()));
}

// Resizing a metafile picture changes the frame it reports, not its records.
void TMetafile::SetWidth(int width) {
  const int current = Width();
  if (current > 0) frameWidth_ = MulDiv(frameWidth_, width, current);
  Changed();
}

void TMetafile::SetHeight(int height) {
  const int current = Height();
  if (current > 0) frameHeight_ = MulDiv(frameHeight_, height, current);
  Changed();
}

bool TMetafile::Empty() { return !handle_; }

HPALETTE TMetafile::Palette() {
  if (!paletteSettled_ && handle_) {
    paletteSettled_ = true;
    UINT count = GetEnhMetaFilePaletteEntries(handle_.get(), 0, nullptr);
    if (count != 0 && count != GDI_ERROR) {
      // More entries than a palette for drawing can use are cut at the
      // limit, never wrapped around it.
      if (count > kMaxPaletteEntries) count = kMaxPaletteEntries;
      std::vector<PALETTEENTRY> all(GetEnhMetaFilePaletteEntries(handle_.get(), 0, nullptr));
      GetEnhMetaFilePaletteEntries(handle_.get(), static_cast<UINT>(all.size()), all.data());
      std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
      auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
      palette->palVersion = 0x300;
      palette->palNumEntries = static_cast<WORD>(count);
      for (UINT i = 0; i < count; ++i) palette->palPalEntry[i] = all[i];
      palette_.reset(CreatePalette(palette));
    }
  }
  return palette_.get();
}

void TMetafile::Draw(HDC dc, const RECT& rect) {
  if (!handle_) return;
  PaletteSelection select(dc, Palette(), true);
  const RECT target = {rect.left, rect.top, rect.right - 1, rect.bottom - 1};
  PlayEnhMetaFile(dc, handle_.get(), &target);
}
