#include "runtime/WideText.h"
#include "runtime/core/CodePage.h"

#include <windows.h>

std::string AnsiFromWide(const wchar_t* text, size_t length) {
  if (length == 0) return std::string();
  const int units = static_cast<int>(length);
  const int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, text, units, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_THREAD_ACP, 0, text, units, &result[0], bytes, nullptr, nullptr);
  return result;
}

std::wstring WideFromAnsi(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int bytes = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), bytes, nullptr, 0);
  std::wstring result(static_cast<size_t>(units > 0 ? units : 0), L'\0');
  if (units > 0) MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), bytes, &result[0], units);
  return result;
}

std::string AnsiFromUtf16(const std::u16string& text) {
  return AnsiFromWide(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}
