#include "ui/pictures/core/MetafileHeader.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"
#include "ui/core/MulDiv.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr uint32_t kEnhancedRecordType = 1;
constexpr uint32_t kEnhancedSignature = 0x464D4520;  // " EMF"

[[noreturn]] void Invalid() { throw EInvalidGraphic(msg::InvalidMetafile); }

MetafileData ReadEnhanced(ByteSource& source) {
  MetafileData data;
  data.enhanced = true;
  uint8_t header[kEnhancedHeaderBytes];
  source.Read(header, sizeof header);
  const uint32_t total = LoadU32(header + 48);
  if (total < kEnhancedHeaderBytes) Invalid();
  if (total > kMaxMetafileBytes) Invalid();
  if (total - kEnhancedHeaderBytes > source.Remaining()) throw EReadError(msg::ReadError);
  data.bytes.resize(total);
  std::memcpy(data.bytes.data(), header, sizeof header);
  source.Read(data.bytes.data() + kEnhancedHeaderBytes, total - kEnhancedHeaderBytes);
  data.frameWidth = static_cast<int32_t>(static_cast<uint32_t>(LoadI32(header + 32)) -
                                         static_cast<uint32_t>(LoadI32(header + 24)));
  data.frameHeight = static_cast<int32_t>(static_cast<uint32_t>(LoadI32(header + 36)) -
                                          static_cast<uint32_t>(LoadI32(header + 28)));
  return data;
}

MetafileData ReadPlaceable(ByteSource& source) {
  // Shorter than its own header: nothing to convert.
  if (source.Remaining() < kPlaceableHeaderBytes) Invalid();
  uint8_t header[kPlaceableHeaderBytes];
  source.Read(header, sizeof header);
  if (LoadU32(header) != kPlaceableKey) Invalid();
  if (PlaceableChecksum(header) != LoadU16(header + 20)) Invalid();
  if (source.Remaining() > kMaxMetafileBytes) Invalid();

  MetafileData data;
  const auto left = static_cast<int16_t>(LoadU16(header + 6));
  const auto top = static_cast<int16_t>(LoadU16(header + 8));
  const auto right = static_cast<int16_t>(LoadU16(header + 10));
  const auto bottom = static_cast<int16_t>(LoadU16(header + 12));
  data.unitsPerInch = LoadU16(header + 14);
  const int32_t perInch = data.unitsPerInch != 0 ? data.unitsPerInch : 96;
  data.frameWidth = MulDivRound(right - left, 2540, perInch);
  data.frameHeight = MulDivRound(bottom - top, 2540, perInch);
  data.bytes.resize(static_cast<size_t>(source.Remaining()));
  source.Read(data.bytes.data(), data.bytes.size());
  return data;
}

bool LooksEnhanced(ByteSource& source) {
  if (source.Remaining() <= kEnhancedHeaderBytes) return false;
  uint8_t probe[44];
  source.Peek(probe, sizeof probe);
  return LoadU32(probe) == kEnhancedRecordType && LoadU32(probe + 40) == kEnhancedSignature;
}

}  // namespace

uint16_t PlaceableChecksum(const uint8_t header[kPlaceableHeaderBytes]) {
  uint16_t sum = 0;
  for (int i = 0; i < 10; ++i) sum ^= LoadU16(header + i * 2);
  return sum;
}

MetafileData ReadMetafile(ByteSource& source) {
  return LooksEnhanced(source) ? ReadEnhanced(source) : ReadPlaceable(source);
}

namespace {

int32_t ScaleFrame(int32_t frame, int32_t unitsPerInch, int32_t screenPixelsPerInch,
                   int32_t devicePixels, int32_t deviceMillimetres) {
  if (unitsPerInch != 0) return MulDivRound(frame, screenPixelsPerInch, 2540);
  // The reference sizes come from the file: a millimetre count too large
  // for the divisor gives no size rather than a wrapped one.
  const int64_t divisor = static_cast<int64_t>(deviceMillimetres) * 100;
  if (divisor > INT32_MAX || divisor < INT32_MIN) return 0;
  return MulDivRound(frame, devicePixels, static_cast<int32_t>(divisor));
}

}  // namespace

int32_t MetafilePixelWidth(const MetafileData& data, int32_t screenPixelsPerInch,
                           const MetafileReference& reference) {
  return ScaleFrame(data.frameWidth, data.unitsPerInch, screenPixelsPerInch, reference.pixelsWide,
                    reference.millimetresWide);
}

int32_t MetafilePixelHeight(const MetafileData& data, int32_t screenPixelsPerInch,
                            const MetafileReference& reference) {
  return ScaleFrame(data.frameHeight, data.unitsPerInch, screenPixelsPerInch,
                    reference.pixelsHigh, reference.millimetresHigh);
}
