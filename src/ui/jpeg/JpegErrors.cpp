#include "ui/jpeg/JpegErrors.h"

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

void OnResetErrors(j_common_ptr info) {
  info->err->num_warnings = 0;
  info->err->msg_code = 0;
}

}  // namespace

jpeg_error_mgr* InitJpegErrors(JpegErrorManager& errors) {
  jpeg_error_mgr* pub = jpeg_std_error(&errors.pub);
  pub->error_exit = OnErrorExit;
  pub->emit_message = OnEmitMessage;
  pub->output_message = OnOutputMessage;
  pub->reset_error_mgr = OnResetErrors;
  return pub;
}
