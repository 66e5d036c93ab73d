#include "runtime/OleCheck.h"

#include "runtime/Checks.h"
#include "runtime/Handles.h"
#include "runtime/WideText.h"
#include "runtime/core/FailureReport.h"
#include "runtime/core/Failures.h"

#include <oleauto.h>

HRESULT OleCheck(HRESULT result) {
  if (FAILED(result)) RaiseOleSysError(result);
  return result;
}

std::string AnsiFromBstr(BSTR text) {
  if (!text) return std::string();
  return AnsiFromWide(text, SysStringLen(text));
}

UniqueBstr BstrFromAnsi(const std::string& text) {
  if (text.empty()) return UniqueBstr();
  const std::wstring wide = WideFromAnsi(text);
  return UniqueBstr(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
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
  ComPtr<IErrorInfo> info;
  UniqueBstr text;
  if (GetErrorInfo(0, info.put()) == S_OK && info && SUCCEEDED(info->GetDescription(text.put())))
    description = AnsiFromBstr(text.get());
  RaiseOleException(result, description);
}
