#include "app/SingleRun.h"

#include "app/Main.h"
#include "app/UFrmSplashPicture.h"
#include "runtime/core/ObjectName.h"

#include <windows.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");

namespace {

// Reads a path from a platform call that takes a buffer size and gives the
// length it wrote, or the size it needs when the buffer was too small.
template <typename Query>
std::wstring QueryPath(Query query) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = query(static_cast<DWORD>(buffer.size()), &buffer[0]);
    if (n == 0) return std::wstring();
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(n);
  }
}

std::wstring ObjectName(const char16_t* kind, const std::wstring& folderKey) {
  const std::u16string name =
      LocalObjectName(kind, std::u16string(folderKey.begin(), folderKey.end()));
  return std::wstring(name.begin(), name.end());
}

struct WindowSearch {
  DWORD processId;
  const char* className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  char name[32] = {};
  if (processId != search->processId || !IsWindowVisible(window) ||
      !GetClassNameA(window, name, sizeof name) || lstrcmpA(name, search->className) != 0)
    return TRUE;
  search->found = window;
  return FALSE;
}

HWND VisibleWindowOf(DWORD processId, const char* className) {
  WindowSearch search{processId, className, nullptr};
  EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

std::wstring FolderKey(const std::wstring& folder) {
  std::wstring path = QueryPath([&](DWORD size, wchar_t* buffer) {
    return GetFullPathNameW(folder.c_str(), size, buffer, nullptr);
  });
  if (path.empty()) path = folder;
  // The long form of a folder given with short names; only for one that exists.
  const std::wstring longPath = QueryPath([&](DWORD size, wchar_t* buffer) {
    return GetLongPathNameW(path.c_str(), buffer, size);
  });
  if (!longPath.empty()) path = longPath;
  if (!path.empty()) CharUpperBuffW(&path[0], static_cast<DWORD>(path.size()));
  return path;
}

std::wstring TempFolderKey() {
  return FolderKey(QueryPath([](DWORD size, wchar_t* buffer) { return GetTempPathW(size, buffer); }));
}

std::wstring SingleRunMutexName(const std::wstring& folderKey) {
  return ObjectName(u"Setup.Run ", folderKey);
}

std::wstring SingleRunHolderName(const std::wstring& folderKey) {
  return ObjectName(u"Setup.Holder ", folderKey);
}

SingleRun::SingleRun(const std::wstring& folderKey) : key_(folderKey) {
  // Made here, the mutex is ours from the start. Made before by another
  // run, it is ours when it is free, or abandoned by a run that ended
  // abnormally (WAIT_ABANDONED).
  HANDLE mutex = CreateMutexW(nullptr, TRUE, SingleRunMutexName(key_).c_str());
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  mutex_.reset(mutex);
  if (!mutex_) return;  // no mutex to be had: the run goes on as it always did
  if (existed && WaitForSingleObject(mutex_.get(), 0) == WAIT_TIMEOUT) {
    held_ = false;
    return;
  }
  holder_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD),
                                   SingleRunHolderName(key_).c_str()));
  if (!holder_) return;
  const UniqueView view(MapViewOfFile(holder_.get(), FILE_MAP_WRITE, 0, 0, sizeof(DWORD)));
  if (view) *static_cast<DWORD*>(view.get()) = GetCurrentProcessId();
}

void SingleRun::BringHolderToFront() const {
  const UniqueKernelObject record(
      OpenFileMappingW(FILE_MAP_READ, FALSE, SingleRunHolderName(key_).c_str()));
  if (!record) return;
  const UniqueView view(MapViewOfFile(record.get(), FILE_MAP_READ, 0, 0, sizeof(DWORD)));
  if (!view) return;
  const DWORD holder = *static_cast<const DWORD*>(view.get());
  if (holder == 0) return;  // the holder has not recorded itself yet
  HWND window = VisibleWindowOf(holder, TfrmMain::kClassName);
  if (!window) window = VisibleWindowOf(holder, TfrmSplashPicture::kClassName);
  if (!window) return;
  // Refused when this run is not in the foreground: then at least on top.
  if (!SetForegroundWindow(window))
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
