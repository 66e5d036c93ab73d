#include "runtime/Folders.h"

#include "runtime/QueryPath.h"

#include <windows.h>

std::string CurrentFolder() {
  return QueryPath<std::string>(
      [](DWORD size, char* buffer) { return GetCurrentDirectoryA(size, buffer); });
}

std::string SystemFolder() {
  return QueryPath<std::string>([](DWORD size, char* buffer) {
    return static_cast<DWORD>(GetSystemDirectoryA(buffer, size));
  });
}

std::string ModuleFileName(HMODULE module) {
  return QueryPath<std::string>(
      [module](DWORD size, char* buffer) { return GetModuleFileNameA(module, buffer, size); });
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool MakeArchiveOnly(const std::string& path) {
  return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE) != FALSE;
}
