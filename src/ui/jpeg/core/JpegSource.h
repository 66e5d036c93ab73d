// The library's source of compressed bytes over data held in memory. It
// hands the data out in blocks of up to 4096 bytes. Running dry before the
// first byte is the fatal "empty input" error; running dry later is a
// warning, and an end-of-image marker is supplied so decoding ends normally.
#pragma once

#include "ui/jpeg/core/JpegLib.h"

#include <cstdint>

struct JpegMemorySource {
  jpeg_source_mgr pub;  // first member: the library sees only this part
  const uint8_t* data;
  size_t size;
  size_t position;  // offset of the next block
};

inline constexpr size_t kJpegSourceBlock = 4096;

// Attaches the source to a decompression object, positioned at 0. The data
// must outlive the object's use of it.
void AttachJpegMemorySource(j_decompress_ptr info, JpegMemorySource& source, const uint8_t* data,
                            size_t size);
