// Feeds arbitrary bytes to the bitmap and metafile header readers: each
// either refuses them with the program's failure or gives a result whose
// sizes the file can back.
#include "runtime/core/Failures.h"
#include "ui/pictures/core/BitmapHeader.h"
#include "ui/pictures/core/MetafileHeader.h"

#include <cstdlib>
#include <vector>

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void Bitmap(const uint8_t* data, size_t size) {
  MemoryByteSource source(data, size);
  BitmapHeader header;
  try {
    if (!ReadBitmapHeader(source, header)) return;
  } catch (const Exception&) {
    return;
  }
  Check(header.ColourCount() <= kMaxColourTableEntries);
  Check(header.imageBytes <= source.Remaining());
  Check(header.pixelBytes <= kMaxBitmapPixelBytes);
  if (!header.Compressed()) Check(header.imageBytes <= header.pixelBytes);
  std::vector<uint8_t> pixels(header.imageBytes);
  Check(source.ReadUpTo(pixels.data(), pixels.size()) == pixels.size());
}

void Metafile(const uint8_t* data, size_t size) {
  MemoryByteSource source(data, size);
  try {
    const MetafileData result = ReadMetafile(source);
    Check(result.bytes.size() <= size);
    Check(source.Remaining() == 0 || result.enhanced);
    MetafileReference reference = {1024, 768, 320, 240};
    MetafilePixelWidth(result, 96, reference);
    MetafilePixelHeight(result, 96, reference);
  } catch (const Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bitmap(data, size);
  Metafile(data, size);
  return 0;
}
