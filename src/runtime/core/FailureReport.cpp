#include "runtime/core/FailureReport.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Format.h"
#include "runtime/core/Messages.h"

namespace {

std::string AfterLastBackslash(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string DefaultFailureReportText(const std::string& className, const std::string& modulePath,
                                     uint64_t offset, const std::string& message) {
  // The address goes in as 8 hex digits whatever the pointer width is.
  std::string layout = msg::AppErrorText;
  const size_t p = layout.find("%p");
  if (p != std::string::npos) layout.replace(p, 2, "%s");
  const std::string address = Format("%08lX", static_cast<unsigned long>(offset));
  return Format(layout.c_str(), className.c_str(), AfterLastBackslash(modulePath).c_str(),
                address.c_str(), message.c_str(), FullStopFor(message));
}

std::string OleFailureMessage(const std::string& description, const std::string& systemText,
                              uint32_t result) {
  std::string text = TrimSystemMessage(description);
  if (text.empty()) text = TrimSystemMessage(systemText);
  if (text.empty()) text = Format(msg::OleError, static_cast<unsigned>(result));
  return text;
}
