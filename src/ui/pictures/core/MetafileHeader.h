// Reading metafile files: an enhanced metafile, or a Windows metafile behind
// its 22-byte placeable header. The content, not the file name, decides the
// variant. Portable; the Windows metafile picture makes its handle from the
// bytes read here.
#pragma once

#include "ui/pictures/core/ByteSource.h"

#include <cstdint>
#include <vector>

inline constexpr uint32_t kEnhancedHeaderBytes = 100;
inline constexpr uint32_t kPlaceableHeaderBytes = 22;
inline constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
inline constexpr uint64_t kMaxMetafileBytes = 64u * 1024 * 1024;

struct MetafileData {
  bool enhanced = false;
  // The whole enhanced metafile, or the Windows metafile after the
  // placeable header.
  std::vector<uint8_t> bytes;
  // Frame size in hundredths of a millimetre.
  int32_t frameWidth = 0;
  int32_t frameHeight = 0;
  // From the placeable header; 0 for an enhanced metafile.
  uint16_t unitsPerInch = 0;
};

// The exclusive-or of the first ten 16-bit words of a placeable header.
uint16_t PlaceableChecksum(const uint8_t header[kPlaceableHeaderBytes]);

// Reads a metafile from the source to its end. Raises EInvalidGraphic
// "Metadatei ist ungültig" when the data are neither an enhanced metafile
// nor a placeable one with the right key and checksum, when an enhanced
// metafile's total size is below its header or a file is larger than
// kMaxMetafileBytes; EReadError "Stream-Lesefehler" when an enhanced
// metafile ends before its total size.
MetafileData ReadMetafile(ByteSource& source);

// Width and height in pixels. A placeable metafile with units per inch
// scales its frame by the screen resolution; otherwise the frame is scaled
// by the reference device's pixels per hundredths of a millimetre, as the
// enhanced header records them.
struct MetafileReference {
  int32_t pixelsWide, pixelsHigh;   // reference device size in pixels
  int32_t millimetresWide, millimetresHigh;
};
// The reference device as an enhanced metafile's header records it (its
// size in pixels, then in millimetres); zeros for a Windows metafile.
inline MetafileReference EnhancedReference(const MetafileData& data) {
  if (!data.enhanced || data.bytes.size() < kEnhancedHeaderBytes) return MetafileReference{0, 0, 0, 0};
  const uint8_t* header = data.bytes.data();
  return MetafileReference{LoadI32(header + 72), LoadI32(header + 76), LoadI32(header + 80), LoadI32(header + 84)};
}
int32_t MetafilePixelWidth(const MetafileData& data, int32_t screenPixelsPerInch,
                           const MetafileReference& reference);
int32_t MetafilePixelHeight(const MetafileData& data, int32_t screenPixelsPerInch,
                            const MetafileReference& reference);
