#include "runtime/TempFolder.h"

#include "runtime/FolderTree.h"
#include "runtime/QueryPath.h"
#include "runtime/WideText.h"

#include <windows.h>

namespace {

std::string Ansi(const std::wstring& text) { return AnsiFromWide(text.data(), text.size()); }

// The ANSI form of a path when it comes back unchanged (this also refuses
// the best-fit letters the conversion puts in for characters it lacks).
std::optional<std::string> Lossless(const std::wstring& path) {
  std::string ansi = Ansi(path);
  if (path.empty() || WideFromAnsi(ansi) != path) return std::nullopt;
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
