#include "runtime/Checks.h"

#include "runtime/Handles.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Format.h"
#include "runtime/core/Messages.h"

std::string SysErrorMessage(DWORD code) {
  UniqueLocal<char*> buffer;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
          FORMAT_MESSAGE_ARGUMENT_ARRAY,
      nullptr, code, 0, reinterpret_cast<char*>(buffer.put()), 0, nullptr);
  return buffer ? std::string(buffer.get(), length) : std::string();
}

void RaiseLastOSError() {
  DWORD code = GetLastError();
  throw EOSError(Format(msg::OSError, static_cast<int>(code), SysErrorMessage(code).c_str()));
}
