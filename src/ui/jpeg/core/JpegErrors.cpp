#include "ui/jpeg/core/JpegErrors.h"

#include <cstring>

namespace {

[[noreturn]] void OnErrorExit(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrorManager*>(info->err);
  std::longjmp(errors->jump, 1);
}

// Warnings (level -1) are counted, as the library's own tests of
// num_warnings expect; nothing is ever printed.
void OnEmitMessage(j_common_ptr info, int level) {
  if (level < 0) info->err->num_warnings++;
}

void OnOutputMessage(j_common_ptr) {}

// Messages are never shown, so they are never formatted either.
void OnFormatMessage(j_common_ptr, char* buffer) { buffer[0] = '\0'; }

void OnResetErrors(j_common_ptr info) {
  info->err->num_warnings = 0;
  info->err->msg_code = 0;
}

}  // namespace

// Filled in here rather than by the library's standard manager, whose
// message texts and printing code the program would otherwise carry.
jpeg_error_mgr* InitJpegErrors(JpegErrorManager& errors) {
  jpeg_error_mgr* pub = &errors.pub;
  std::memset(pub, 0, sizeof *pub);
  pub->error_exit = OnErrorExit;
  pub->emit_message = OnEmitMessage;
  pub->output_message = OnOutputMessage;
  pub->format_message = OnFormatMessage;
  pub->reset_error_mgr = OnResetErrors;
  return pub;
}
