#include "ui/jpeg/core/JpegDecompressor.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Format.h"
#include "runtime/core/Messages.h"

namespace {

// Called by the library as it reads the data; input_scan_number counts the
// scans begun so far.
void OnProgress(j_common_ptr common) {
  auto* info = reinterpret_cast<j_decompress_ptr>(common);
  if (info->input_scan_number > kMaxJpegScans) ERREXIT(info, JERR_EOI_EXPECTED);
}

}  // namespace

// Functions that call setjmp keep no locals of their own: after the jump
// only the members, which live in memory, are read.

JpegDecompressor::JpegDecompressor(const uint8_t* data, size_t size) {
  info_.err = InitJpegErrors(errors_);
  if (setjmp(errors_.jump)) Fail();
  jpeg_create_decompress(&info_);
  AttachJpegMemorySource(&info_, source_, data, size);
  progress_.progress_monitor = OnProgress;
  info_.progress = &progress_;
}

JpegDecompressor::~JpegDecompressor() { jpeg_destroy_decompress(&info_); }

void JpegDecompressor::Fail() {
  int code = errors_.pub.msg_code;
  jpeg_destroy_decompress(&info_);  // again in the destructor: harmless
  throw EJPEG(Format(msg::JPEGError, code));
}

void JpegDecompressor::Refuse(int code) {
  errors_.pub.msg_code = code;
  Fail();
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
