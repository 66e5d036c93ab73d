#include "ui/pictures/core/BitmapHeader.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"

namespace {

constexpr uint16_t kBitmapFileType = 19778;  // "BM"
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kMasksInHeaderEnd = 52;   // later headers carry the masks at 40..51

[[noreturn]] void Invalid() { throw EInvalidGraphic(msg::InvalidBitmap); }

void ReadCoreHeader(ByteSource& source, BitmapHeader& h) {
  h.width = source.ReadU16();
  h.height = source.ReadU16();
  h.planes = source.ReadU16();
  h.bitCount = source.ReadU16();
}

void ReadInfoHeader(ByteSource& source, BitmapHeader& h) {
  h.width = source.ReadI32();
  h.height = source.ReadI32();
  h.planes = source.ReadU16();
  h.bitCount = source.ReadU16();
  h.compression = source.ReadU32();
  h.sizeImage = source.ReadU32();
  h.xPelsPerMeter = source.ReadI32();
  h.yPelsPerMeter = source.ReadI32();
  h.clrUsed = source.ReadU32();
  h.clrImportant = source.ReadU32();
}

void ReadMasks(ByteSource& source, BitmapHeader& h) {
  for (uint32_t& mask : h.masks) mask = source.ReadU32();
  h.hasMasks = true;
}

bool IsBitfields(const BitmapHeader& h) {
  return h.compression == kBiBitfields && (h.bitCount == 16 || h.bitCount == 32);
}

// The rest of an info header of 40 bytes or more; later header versions
// carry the colour masks inside the header.
void ReadLongHeaderTail(ByteSource& source, BitmapHeader& h) {
  ReadInfoHeader(source, h);
  uint64_t extra = h.headerSize - kInfoHeaderSize;
  if (extra == 0) return;
  if (h.compression == kBiBitfields) {
    // Header sizes of 41 to 51 bytes have no room for the masks.
    if (h.headerSize < kMasksInHeaderEnd) Invalid();
    ReadMasks(source, h);
    extra -= 12;
  }
  source.Skip(extra);
}

bool ValidBitCount(uint16_t bits) {
  switch (bits) {
    case 1: case 4: case 8: case 16: case 24: case 32: return true;
    default: return false;
  }
}

void CheckDimensions(BitmapHeader& h) {
  if (!ValidBitCount(h.bitCount)) Invalid();
  if (h.width < 0 || h.width > kMaxBitmapDimension) Invalid();
  if (h.height < -kMaxBitmapDimension || h.height > kMaxBitmapDimension) Invalid();
  const uint64_t absHeight = h.height < 0 ? -static_cast<int64_t>(h.height) : h.height;
  const uint64_t row = BitmapPixelBytes(h.width, 1, h.bitCount);
  const uint64_t all = BitmapPixelBytes(h.width, absHeight, h.bitCount);
  if (all > kMaxBitmapPixelBytes) Invalid();
  h.bytesPerRow = static_cast<uint32_t>(row);
  h.pixelBytes = static_cast<uint32_t>(all);
}

void ReadColourTable(ByteSource& source, BitmapHeader& h, uint32_t entrySize) {
  uint32_t count = h.clrUsed;
  if (count == 0 && h.bitCount <= 8) count = 1u << h.bitCount;
  if (count > kMaxColourTableEntries) Invalid();
  h.colourTable.assign(static_cast<size_t>(count) * 4, 0);
  if (entrySize == 4) {
    source.Read(h.colourTable.data(), h.colourTable.size());
    return;
  }
  std::vector<uint8_t> packed(static_cast<size_t>(count) * 3);
  source.Read(packed.data(), packed.size());
  for (uint32_t i = 0; i < count; ++i) {
    h.colourTable[i * 4 + 0] = packed[i * 3 + 0];
    h.colourTable[i * 4 + 1] = packed[i * 3 + 1];
    h.colourTable[i * 4 + 2] = packed[i * 3 + 2];
  }
}

}  // namespace

bool ReadBitmapHeader(ByteSource& source, BitmapHeader& h) {
  h = BitmapHeader();
  if (source.Remaining() == 0) return false;

  uint8_t fileHeader[14];
  source.Read(fileHeader, sizeof fileHeader);
  if (LoadU16(fileHeader) != kBitmapFileType) Invalid();

  h.headerSize = source.ReadU32();
  uint32_t entrySize = 4;
  if (h.headerSize == kCoreHeaderSize) {
    ReadCoreHeader(source, h);
    entrySize = 3;
  } else if (h.headerSize >= kInfoHeaderSize) {
    ReadLongHeaderTail(source, h);
  } else {
    Invalid();  // no header layout between the core and the 40-byte one
  }

  if (h.planes != 1) Invalid();
  CheckDimensions(h);

  if (h.headerSize == kInfoHeaderSize && IsBitfields(h)) ReadMasks(source, h);
  ReadColourTable(source, h, entrySize);

  uint64_t image = h.sizeImage != 0 ? h.sizeImage : h.pixelBytes;
  if (image > source.Remaining()) image = source.Remaining();
  // An uncompressed picture never takes more bytes than its rows hold.
  if (!h.Compressed() && image > h.pixelBytes) image = h.pixelBytes;
  if (image > kMaxBitmapPixelBytes) image = kMaxBitmapPixelBytes;
  h.imageBytes = static_cast<uint32_t>(image);
  return true;
}
