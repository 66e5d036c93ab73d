#include "ui/jpeg/core/JpegSource.h"

#include <algorithm>

namespace {

const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

JpegMemorySource& SourceOf(j_decompress_ptr info) {
  return *reinterpret_cast<JpegMemorySource*>(info->src);
}

void OnInitSource(j_decompress_ptr) {}

boolean OnFillInputBuffer(j_decompress_ptr info) {
  JpegMemorySource& source = SourceOf(info);
  size_t count = std::min(kJpegSourceBlock, source.size - source.position);
  if (count == 0) {
    if (source.position == 0) ERREXIT(info, JERR_INPUT_EMPTY);
    WARNMS(info, JWRN_JPEG_EOF);
    source.pub.next_input_byte = kEndOfImage;
    source.pub.bytes_in_buffer = sizeof kEndOfImage;
    return TRUE;
  }
  source.pub.next_input_byte = source.data + source.position;
  source.pub.bytes_in_buffer = count;
  source.position += count;
  return TRUE;
}

// Skipping reads blocks and discards them; past the end it meets the
// supplied end-of-image marker like any other read.
void OnSkipInputData(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  JpegMemorySource& source = SourceOf(info);
  size_t remaining = static_cast<size_t>(count);
  while (remaining > source.pub.bytes_in_buffer) {
    remaining -= source.pub.bytes_in_buffer;
    OnFillInputBuffer(info);
  }
  source.pub.next_input_byte += remaining;
  source.pub.bytes_in_buffer -= remaining;
}

void OnTermSource(j_decompress_ptr) {}

}  // namespace

void AttachJpegMemorySource(j_decompress_ptr info, JpegMemorySource& source, const uint8_t* data,
                            size_t size) {
  source.pub.init_source = OnInitSource;
  source.pub.fill_input_buffer = OnFillInputBuffer;
  source.pub.skip_input_data = OnSkipInputData;
  source.pub.resync_to_restart = jpeg_resync_to_restart;
  source.pub.term_source = OnTermSource;
  source.pub.next_input_byte = nullptr;
  source.pub.bytes_in_buffer = 0;
  source.data = data;
  source.size = size;
  source.position = 0;
  info->src = &source.pub;
}
