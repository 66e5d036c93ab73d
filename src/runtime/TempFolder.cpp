#include "runtime/TempFolder.h"

#include "runtime/FolderTree.h"
#include "runtime/QueryPath.h"

#include <windows.h>

namespace {

// Paths go through the process code page, as the ANSI file functions take them.
std::string Ansi(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int units = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(CP_ACP, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length > 0)
    WideCharToMultiByte(CP_ACP, 0, text.data(), units, &result[0], length, nullptr, nullptr);
  return result;
}

std::wstring Wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int bytes = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, nullptr, 0);
  std::wstring result(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, &result[0], length);
  return result;
}

// The ANSI form of a path when it comes back unchanged (this also refuses
// the best-fit letters the conversion puts in for characters it lacks).
std::optional<std::string> Lossless(const std::wstring& path) {
  std::string ansi = Ansi(path);
  if (path.empty() || Wide(ansi) != path) return std::nullopt;
  return ansi;
}

}  // namespace

std::optional<std::string> AnsiFormOf(const std::wstring& longPath, const std::wstring& shortPath) {
  if (std::optional<std::string> ansi = Lossless(longPath)) return ansi;
  return Lossless(shortPath);
}

// The folder the environment names, for a message when the platform gives
// none (one too long for it).
std::wstring NamedTempFolder() {
  std::wstring value(32767, L'\0');
  DWORD n = GetEnvironmentVariableW(L"TMP", &value[0], 32767);
  if (n == 0 || n >= 32767) n = GetEnvironmentVariableW(L"TEMP", &value[0], 32767);
  value.resize(n < 32767 ? n : 0);
  return value;
}

TempFolderQuery UsableTempPath() {
  const std::wstring folder = QueryPath<std::wstring>(
      [](DWORD size, wchar_t* buffer) { return GetTempPathW(size, buffer); });
  if (folder.empty() || folder.size() + kTempFolderRoom >= MAX_PATH)
    return {TempFolderQuery::TooLong, Ansi(folder.empty() ? NamedTempFolder() : folder)};
  if (!CreateFolderTree(folder)) return {TempFolderQuery::NotCreated, Ansi(folder)};
  std::wstring shortForm = QueryPath<std::wstring>([&](DWORD size, wchar_t* buffer) {
    return GetShortPathNameW(folder.c_str(), buffer, size);
  });
  if (shortForm.empty()) shortForm = folder;
  std::optional<std::string> ansi = AnsiFormOf(folder, shortForm);
  if (!ansi) return {TempFolderQuery::NoAnsiForm, Ansi(folder)};
  return {TempFolderQuery::Usable, *ansi};
}
