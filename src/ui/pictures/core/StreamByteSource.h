// A bounded byte source over a stream, from its current position to its end.
#pragma once

#include "streams/core/Stream.h"
#include "ui/pictures/core/ByteSource.h"

#include <cstdint>

class StreamByteSource : public ByteSource {
public:
  explicit StreamByteSource(TStream& stream) : ByteSource(RemainingOf(stream)), stream_(stream) {}

private:
  static uint64_t RemainingOf(TStream& stream) {
    const int64_t left = stream.Size() - stream.Position();
    return left > 0 ? static_cast<uint64_t>(left) : 0;
  }
  void Fetch(void* buffer, size_t count) override {
    stream_.ReadBuffer(buffer, static_cast<int32_t>(count));
  }
  void Pass(uint64_t count) override { stream_.Seek(static_cast<int64_t>(count), soCurrent); }
  void Look(void* buffer, size_t count) override {
    stream_.ReadBuffer(buffer, static_cast<int32_t>(count));
    stream_.Seek(-static_cast<int64_t>(count), soCurrent);
  }

  TStream& stream_;
};
