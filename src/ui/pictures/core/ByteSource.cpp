#include "ui/pictures/core/ByteSource.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"

#include <cstring>

void ByteSource::Read(void* buffer, size_t count) {
  if (count > remaining_) throw EReadError(msg::ReadError);
  if (count == 0) return;
  Fetch(buffer, count);
  remaining_ -= count;
}

size_t ByteSource::ReadUpTo(void* buffer, size_t count) {
  if (count > remaining_) count = static_cast<size_t>(remaining_);
  Read(buffer, count);
  return count;
}

void ByteSource::Peek(void* buffer, size_t count) {
  if (count > remaining_) throw EReadError(msg::ReadError);
  if (count != 0) Look(buffer, count);
}

void ByteSource::Skip(uint64_t count) {
  if (count > remaining_) throw EReadError(msg::ReadError);
  if (count == 0) return;
  Pass(count);
  remaining_ -= count;
}

uint16_t ByteSource::ReadU16() {
  uint8_t b[2];
  Read(b, sizeof b);
  return LoadU16(b);
}

uint32_t ByteSource::ReadU32() {
  uint8_t b[4];
  Read(b, sizeof b);
  return LoadU32(b);
}

void MemoryByteSource::Fetch(void* buffer, size_t count) {
  std::memcpy(buffer, data_, count);
  data_ += count;
}

void MemoryByteSource::Pass(uint64_t count) { data_ += count; }

void MemoryByteSource::Look(void* buffer, size_t count) { std::memcpy(buffer, data_, count); }
