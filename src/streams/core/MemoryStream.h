// A stream over bytes held in memory: written bytes grow it, reads beyond
// its end deliver nothing. It holds at most kMaxMemoryStreamBytes (its counts
// are 32-bit): a write that would end past that writes nothing, wherever the
// position was moved to.
#pragma once

#include "streams/core/Stream.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int64_t kMaxMemoryStreamBytes = INT32_MAX;

class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  TMemoryStream(const void* data, size_t size);
  explicit TMemoryStream(const std::string& bytes) : TMemoryStream(bytes.data(), bytes.size()) {}

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  // Positions beyond the end are allowed; a negative one is refused (-1)
  // and the position stays.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  const std::vector<uint8_t>& Bytes() const { return FBytes; }

private:
  std::vector<uint8_t> FBytes;
  int64_t FPosition = 0;
};
