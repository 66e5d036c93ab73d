#include "streams/core/MemoryStream.h"

#include <cstring>

TMemoryStream::TMemoryStream(const void* data, size_t size)
    : FBytes(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size) {}

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
  int64_t size = static_cast<int64_t>(FBytes.size());
  if (count <= 0 || FPosition >= size) return 0;
  int64_t available = size - FPosition;
  int32_t n = available < count ? static_cast<int32_t>(available) : count;
  std::memcpy(buffer, FBytes.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
  if (count <= 0 || FPosition > kMaxMemoryStreamBytes - count) return 0;
  const auto end = static_cast<size_t>(FPosition + count);
  if (end > FBytes.size()) FBytes.resize(end);
  std::memcpy(FBytes.data() + FPosition, buffer, static_cast<size_t>(count));
  FPosition += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == soBeginning ? 0
               : origin == soCurrent   ? FPosition
                                       : static_cast<int64_t>(FBytes.size());
  int64_t target = base + offset;
  if (target < 0) return -1;
  FPosition = target;
  return FPosition;
}
