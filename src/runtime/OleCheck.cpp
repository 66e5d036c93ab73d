#include "runtime/OleCheck.h"

#include "runtime/Checks.h"
#include "runtime/core/CodePage.h"
#include "runtime/core/FailureReport.h"
#include "runtime/core/Failures.h"

#include <oleauto.h>

HRESULT OleCheck(HRESULT result) {
  if (FAILED(result)) RaiseOleSysError(result);
  return result;
}

void RaiseOleSysError(HRESULT result) {
  throw EOleSysError(OleFailureMessage(std::string(), SysErrorMessage(static_cast<DWORD>(result)),
                                       static_cast<uint32_t>(result)));
}

void RaiseOleException(HRESULT result, const std::string& description) {
  throw EOleException(OleFailureMessage(description, SysErrorMessage(static_cast<DWORD>(result)),
                                        static_cast<uint32_t>(result)));
}

void RaiseOleMethodFailure(HRESULT result) {
  std::string description;
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) == S_OK && info) {
    BSTR text = nullptr;
    if (SUCCEEDED(info->GetDescription(&text)) && text) {
      description = AnsiFromUtf16(std::u16string(reinterpret_cast<const char16_t*>(text),
                                                 SysStringLen(text)));
      SysFreeString(text);
    }
    info->Release();
  }
  RaiseOleException(result, description);
}
