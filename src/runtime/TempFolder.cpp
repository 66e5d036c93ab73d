#include "runtime/TempFolder.h"

#include "runtime/QueryPath.h"
#include "runtime/WideText.h"

#include <windows.h>

namespace {

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Creates the folder and any missing parents; true when it is there.
bool CreateFolderTree(const std::wstring& path) {
  std::wstring folder = path;
  while (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  if (folder.empty() || IsFolder(folder)) return !folder.empty();
  const size_t slash = folder.find_last_of(L"\\/");
  if (slash != std::wstring::npos && slash > 0) CreateFolderTree(folder.substr(0, slash));
  CreateDirectoryW(folder.c_str(), nullptr);
  return IsFolder(folder);
}

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

TempFolderQuery UsableTempPath() {
  const std::wstring folder = QueryPath<std::wstring>(
      [](DWORD size, wchar_t* buffer) { return GetTempPathW(size, buffer); });
  if (!CreateFolderTree(folder)) return {TempFolderQuery::NotCreated, Ansi(folder)};
  std::wstring shortForm = QueryPath<std::wstring>([&](DWORD size, wchar_t* buffer) {
    return GetShortPathNameW(folder.c_str(), buffer, size);
  });
  if (shortForm.empty()) shortForm = folder;
  std::optional<std::string> ansi = AnsiFormOf(folder, shortForm);
  if (!ansi) return {TempFolderQuery::NoAnsiForm, Ansi(folder)};
  return {TempFolderQuery::Usable, *ansi};
}
