// Error handling for the decoding library. A fatal error must not return
// into the library and must not throw through its C frames: error_exit
// jumps back to the C++ frame that armed the jump buffer (see
// JpegDecompressor). Warnings and trace messages produce no output.
#pragma once

#include "ui/jpeg/core/JpegLib.h"

#include <csetjmp>

struct JpegErrorManager {
  jpeg_error_mgr pub;  // first member: the library sees only this part
  std::jmp_buf jump;
};

// Fills in the manager and returns the library's view of it.
jpeg_error_mgr* InitJpegErrors(JpegErrorManager& errors);
