// Creating a folder with any missing parents, for the program (its
// temporary folder) and the zip component (its unzip folder). Header only:
// the component does not link the program's runtime.
#pragma once

#include <windows.h>

#include <string>

inline bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Creates the folder and any missing parents (a trailing separator is
// ignored); true when it is there.
inline bool CreateFolderTree(std::wstring folder) {
  while (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  if (folder.empty() || IsFolder(folder)) return !folder.empty();
  const size_t slash = folder.find_last_of(L"\\/");
  if (slash != std::wstring::npos && slash > 0 && folder[slash - 1] != L':')
    CreateFolderTree(folder.substr(0, slash));
  CreateDirectoryW(folder.c_str(), nullptr);
  return IsFolder(folder);
}
