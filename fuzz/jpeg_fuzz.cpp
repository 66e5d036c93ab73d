// Loading plus decoding of JPEG data: the header is read as a picture loads,
// then the whole picture is decoded into a bitmap-like buffer with settings
// picked from the last byte of the input.
#include "runtime/core/Failures.h"
#include "ui/jpeg/core/JpegBufferTarget.h"
#include "ui/jpeg/core/JpegDecoder.h"

#include <cstddef>
#include <cstdint>

namespace {

// The library holds whole coefficient planes of progressive files: keep
// pictures small enough to decode quickly.
constexpr int64_t kMaxPixels = 1 << 22;

JpegSettings SettingsFrom(uint8_t choice) {
  JpegSettings settings;
  settings.scale = static_cast<JpegScale>(choice & 3);
  settings.pixelFormat = (choice & 4) ? JpegPixelFormat::Bits8 : JpegPixelFormat::Bits24;
  settings.performance = (choice & 8) ? JpegPerformance::BestSpeed : JpegPerformance::BestQuality;
  settings.grayscale = (choice & 16) != 0;
  settings.smoothing = (choice & 32) == 0;
  return settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  try {
    JpegHeader header = ReadJpegHeader(data, size);
    if (static_cast<int64_t>(header.width) * header.height > kMaxPixels) return 0;
    JpegBufferTarget target(/*bottomUp=*/(data[size - 1] & 64) == 0, kMaxPixels);
    DecodeJpeg(data, size, SettingsFrom(data[size - 1]), target);
  } catch (const EJPEG&) {
  }
  return 0;
}
