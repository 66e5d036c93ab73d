#include "runtime/Folders.h"

#include <windows.h>

namespace {

// Calls query(size, buffer) until the buffer was large enough: such queries
// give the length written, or the size needed when the buffer was too short.
template <typename Query>
std::string QueryPath(Query query) {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD n = query(static_cast<DWORD>(path.size()), &path[0]);
    if (n == 0) return std::string();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(n + 1);
  }
}

}  // namespace

std::string CurrentFolder() {
  return QueryPath([](DWORD size, char* buffer) { return GetCurrentDirectoryA(size, buffer); });
}

std::string TempPath() {
  return QueryPath([](DWORD size, char* buffer) { return GetTempPathA(size, buffer); });
}

std::string SystemFolder() {
  return QueryPath([](DWORD size, char* buffer) {
    return static_cast<DWORD>(GetSystemDirectoryA(buffer, size));
  });
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool MakeArchiveOnly(const std::string& path) {
  return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE) != FALSE;
}
