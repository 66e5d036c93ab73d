#include "ui/jpeg/core/JpegDecompressor.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Format.h"
#include "runtime/core/Messages.h"

// Functions that call setjmp keep no locals of their own: after the jump
// only the members, which live in memory, are read.

JpegDecompressor::JpegDecompressor(const uint8_t* data, size_t size) {
  info_.err = InitJpegErrors(errors_);
  if (setjmp(errors_.jump)) Fail();
  jpeg_create_decompress(&info_);
  AttachJpegMemorySource(&info_, source_, data, size);
}

JpegDecompressor::~JpegDecompressor() { jpeg_destroy_decompress(&info_); }

void JpegDecompressor::Fail() {
  int code = errors_.pub.msg_code;
  jpeg_destroy_decompress(&info_);  // again in the destructor: harmless
  throw EJPEG(Format(msg::JPEGError, code));
}

void JpegDecompressor::ReadHeader() {
  if (setjmp(errors_.jump)) Fail();
  jpeg_read_header(&info_, TRUE);
}

void JpegDecompressor::CalcOutputDimensions() {
  if (setjmp(errors_.jump)) Fail();
  jpeg_calc_output_dimensions(&info_);
}

void JpegDecompressor::StartDecompress() {
  if (setjmp(errors_.jump)) Fail();
  jpeg_start_decompress(&info_);
}

JDIMENSION JpegDecompressor::ReadScanlines(JSAMPARRAY rows, JDIMENSION count) {
  if (setjmp(errors_.jump)) Fail();
  return jpeg_read_scanlines(&info_, rows, count);
}

void JpegDecompressor::FinishDecompress() {
  if (setjmp(errors_.jump)) Fail();
  jpeg_finish_decompress(&info_);
}

bool JpegDecompressor::HasMultipleScans() {
  if (setjmp(errors_.jump)) Fail();
  return jpeg_has_multiple_scans(&info_);
}
