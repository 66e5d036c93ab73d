#include "runtime/OleCheck.h"

#include "runtime/Checks.h"
#include "runtime/Handles.h"
#include "runtime/core/CodePage.h"
#include "runtime/core/FailureReport.h"
#include "runtime/core/Failures.h"

#include <oleauto.h>

HRESULT OleCheck(HRESULT result) {
  if (FAILED(result)) RaiseOleSysError(result);
  return result;
}

std::string AnsiFromBstr(BSTR text) {
  if (!text) return std::string();
  return AnsiFromUtf16(std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text)));
}

UniqueBstr BstrFromAnsi(const std::string& text) {
  if (text.empty()) return UniqueBstr();
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  UniqueBstr result(SysAllocStringLen(nullptr, static_cast<UINT>(units)));
  if (result && units > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), length, result.get(), units);
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
  ComPtr<IErrorInfo> info;
  UniqueBstr text;
  if (GetErrorInfo(0, info.put()) == S_OK && info && SUCCEEDED(info->GetDescription(text.put())))
    description = AnsiFromBstr(text.get());
  RaiseOleException(result, description);
}
