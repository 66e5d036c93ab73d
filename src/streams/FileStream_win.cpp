// The Windows backend: the handle is a kernel file handle.
#include "streams/core/FileStream.h"

#include "runtime/Checks.h"

#include <windows.h>

const TFileHandle kInvalidFileHandle = reinterpret_cast<TFileHandle>(INVALID_HANDLE_VALUE);

namespace {

HANDLE AsHandle(TFileHandle handle) { return reinterpret_cast<HANDLE>(handle); }

std::string FullPathOf(const std::string& fileName) {
  DWORD length = GetFullPathNameA(fileName.c_str(), 0, nullptr, nullptr);
  if (length == 0) return fileName;
  std::string path(length, '\0');
  length = GetFullPathNameA(fileName.c_str(), static_cast<DWORD>(path.size()), &path[0], nullptr);
  if (length == 0 || length >= path.size()) return fileName;
  path.resize(length);
  return path;
}

[[noreturn]] void RaiseOpenFailure(const std::string& fileName, DWORD code) {
  RaiseFOpenError(FullPathOf(fileName), SysErrorMessage(code));
}

const DWORD kAccess[3] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
const DWORD kSharing[5] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE};

}  // namespace

int32_t THandleStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  DWORD done = 0;
  if (!ReadFile(AsHandle(FHandle), buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
  return static_cast<int32_t>(done);
}

int32_t THandleStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  DWORD done = 0;
  if (!WriteFile(AsHandle(FHandle), buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
  return static_cast<int32_t>(done);
}

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin) {
  static const DWORD kMethod[3] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER position;
  if (!SetFilePointerEx(AsHandle(FHandle), distance, &position, kMethod[origin])) return -1;
  return position.QuadPart;
}

TFileStream::TFileStream(const std::string& fileName, uint16_t mode)
    : THandleStream(kInvalidFileHandle), FFileName(fileName) {
  HANDLE handle;
  if (mode == fmCreate) {
    handle = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  } else {
    unsigned access, sharing;
    if (!SplitFileMode(mode, access, sharing)) RaiseOpenFailure(fileName, ERROR_INVALID_PARAMETER);
    handle = CreateFileA(fileName.c_str(), kAccess[access], kSharing[sharing], nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (handle == INVALID_HANDLE_VALUE) RaiseOpenFailure(fileName, GetLastError());
  FHandle = reinterpret_cast<TFileHandle>(handle);
}

TFileStream::~TFileStream() {
  if (FHandle != kInvalidFileHandle) CloseHandle(AsHandle(FHandle));
}
