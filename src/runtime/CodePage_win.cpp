#include "runtime/core/CodePage.h"

#include <windows.h>

std::string AnsiFromUtf16(const std::u16string& text) {
  if (text.empty()) return std::string();
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  int units = static_cast<int>(text.size());
  int length = WideCharToMultiByte(CP_THREAD_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length > 0)
    WideCharToMultiByte(CP_THREAD_ACP, 0, wide, units, &result[0], length, nullptr, nullptr);
  return result;
}
