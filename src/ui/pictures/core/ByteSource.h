// A bounded byte source: every read is checked against what remains before
// any byte is touched, so a length taken from a file can never reach past
// its end. The picture loaders read headers through it; the native tests and
// the fuzz target feed it from memory.
#pragma once

#include <cstddef>
#include <cstdint>

class ByteSource {
public:
  virtual ~ByteSource() = default;

  // Bytes left between the current position and the end of the data.
  uint64_t Remaining() const { return remaining_; }

  // Reads exactly count bytes, or raises EReadError "Stream-Lesefehler"
  // without reading anything when fewer remain.
  void Read(void* buffer, size_t count);
  // Reads at most count bytes; gives the number read.
  size_t ReadUpTo(void* buffer, size_t count);
  // Copies the next count bytes without taking them, or raises EReadError
  // when fewer remain.
  void Peek(void* buffer, size_t count);
  // Passes over count bytes, or raises EReadError when fewer remain.
  void Skip(uint64_t count);

  uint16_t ReadU16();
  uint32_t ReadU32();
  int16_t ReadI16() { return static_cast<int16_t>(ReadU16()); }
  int32_t ReadI32() { return static_cast<int32_t>(ReadU32()); }

protected:
  explicit ByteSource(uint64_t remaining) : remaining_(remaining) {}
  // Delivers exactly count bytes; count never exceeds what remains.
  virtual void Fetch(void* buffer, size_t count) = 0;
  virtual void Pass(uint64_t count) = 0;
  virtual void Look(void* buffer, size_t count) = 0;

private:
  uint64_t remaining_;
};

class MemoryByteSource : public ByteSource {
public:
  MemoryByteSource(const void* data, size_t size)
      : ByteSource(size), data_(static_cast<const uint8_t*>(data)) {}

private:
  void Fetch(void* buffer, size_t count) override;
  void Pass(uint64_t count) override;
  void Look(void* buffer, size_t count) override;

  const uint8_t* data_;
};

// Little-endian values inside a byte array.
inline uint16_t LoadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t LoadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t LoadI32(const uint8_t* p) { return static_cast<int32_t>(LoadU32(p)); }
