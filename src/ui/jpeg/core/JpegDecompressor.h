// One decompression object of the library with its memory source and error
// handling, destroyed on every path. Each library step arms the jump buffer
// in its own C++ frame; a fatal library error jumps back there, the object
// is destroyed, and EJPEG "JPEG-Fehler #%d" is raised with the library's
// message code.
//
// A file may hold at most kMaxJpegScans scans: counted while the library
// reads them, one more fails with the library's "more scans than expected"
// code (JERR_EOI_EXPECTED).
#pragma once

#include "ui/jpeg/core/JpegErrors.h"
#include "ui/jpeg/core/JpegSource.h"

inline constexpr int kMaxJpegScans = 100;

class JpegDecompressor {
public:
  // Creates the object (library version 62, this build's object size) and
  // attaches the source to the data at position 0.
  JpegDecompressor(const uint8_t* data, size_t size);
  ~JpegDecompressor();
  JpegDecompressor(const JpegDecompressor&) = delete;
  JpegDecompressor& operator=(const JpegDecompressor&) = delete;

  jpeg_decompress_struct& Info() { return info_; }

  // The library's steps, each raising EJPEG on a fatal error.
  void ReadHeader();  // requires an image
  void CalcOutputDimensions();
  void StartDecompress();
  JDIMENSION ReadScanlines(JSAMPARRAY rows, JDIMENSION count);
  void FinishDecompress();
  bool HasMultipleScans();
  // Destroys the object and raises EJPEG with the library's message code.
  [[noreturn]] void Refuse(int code);

private:
  [[noreturn]] void Fail();

  jpeg_decompress_struct info_{};
  JpegErrorManager errors_{};
  jpeg_progress_mgr progress_{};
  JpegMemorySource source_{};
};
