#include "app/SingleRun.h"

#include "app/Main.h"
#include "app/UFrmSplashPicture.h"
#include "runtime/core/ObjectName.h"

#include <windows.h>

namespace {

std::wstring ObjectName(const wchar_t* kind, const std::wstring& folderKey) {
  return LocalObjectName<std::wstring>(kind, folderKey);
}

struct WindowSearch {
  DWORD processId;
  bool visibleOnly;
  const char* className;  // null: any of the program's own windows
  HWND found;
};

// The program's top-level windows: its hidden application window (there
// from its first moments), the progress window and the splash window.
constexpr const char* kRunWindowClasses[] = {"TApplication", TfrmMain::kClassName,
                                             TfrmSplashPicture::kClassName};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  char name[32] = {};
  if (processId != search->processId || (search->visibleOnly && !IsWindowVisible(window)) ||
      !GetClassNameA(window, name, sizeof name))
    return TRUE;
  for (const char* className : kRunWindowClasses) {
    if ((!search->className || search->className == className) && lstrcmpA(name, className) == 0) {
      search->found = window;
      return FALSE;
    }
  }
  return TRUE;
}

HWND WindowOf(DWORD processId, bool visibleOnly, const char* className) {
  WindowSearch search{processId, visibleOnly, className, nullptr};
  EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

std::wstring FolderKey(const std::wstring& folder) {
  // One buffer of the longest path the platform knows serves both queries.
  std::wstring buffer(32768, L'\0');
  const DWORD size = static_cast<DWORD>(buffer.size());
  std::wstring path = folder;
  DWORD n = GetFullPathNameW(folder.c_str(), size, &buffer[0], nullptr);
  if (n > 0 && n < size) path.assign(buffer, 0, n);
  // The long form of a folder given with short names; only for one that exists.
  n = GetLongPathNameW(path.c_str(), &buffer[0], size);
  if (n > 0 && n < size) path.assign(buffer, 0, n);
  if (!path.empty()) CharUpperBuffW(&path[0], static_cast<DWORD>(path.size()));
  return path;
}

std::wstring TempFolderKey() {
  wchar_t temp[MAX_PATH + 1];  // the platform's temporary path is at most MAX_PATH long
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  return FolderKey(n > 0 && n <= MAX_PATH ? std::wstring(temp, n) : std::wstring());
}

std::wstring SingleRunMutexName(const std::wstring& folderKey) {
  return ObjectName(L"Setup.Run ", folderKey);
}

std::wstring SingleRunHolderName(const std::wstring& folderKey) {
  return ObjectName(L"Setup.Holder ", folderKey);
}

SingleRun::SingleRun(const std::wstring& folderKey) : key_(folderKey) {
  // Made here, the mutex is ours from the start. Made before by another
  // run, it is ours when it is free, or abandoned by a run that ended
  // abnormally (WAIT_ABANDONED). An object of another kind under its name,
  // or one this run may not use, is never taken for a free folder.
  HANDLE mutex = CreateMutexW(nullptr, TRUE, SingleRunMutexName(key_).c_str());
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  mutex_.reset(mutex);
  if (!mutex_) {
    state_ = NameTaken;
    return;
  }
  if (existed && WaitForSingleObject(mutex_.get(), 0) == WAIT_TIMEOUT) {
    state_ = OtherRun;
    return;
  }
  holder_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD),
                                   SingleRunHolderName(key_).c_str()));
  if (!holder_) return;
  const UniqueView view(MapViewOfFile(holder_.get(), FILE_MAP_WRITE, 0, 0, sizeof(DWORD)));
  if (view) *static_cast<DWORD*>(view.get()) = GetCurrentProcessId();
}

DWORD SingleRun::Holder() const {
  const UniqueKernelObject record(
      OpenFileMappingW(FILE_MAP_READ, FALSE, SingleRunHolderName(key_).c_str()));
  if (!record) return 0;
  const UniqueView view(MapViewOfFile(record.get(), FILE_MAP_READ, 0, 0, sizeof(DWORD)));
  return view ? *static_cast<const DWORD*>(view.get()) : 0;
}

bool SingleRun::BringHolderToFront(DWORD patienceMs) const {
  // The holder may not have recorded itself or made its first window yet.
  const DWORD start = GetTickCount();
  DWORD holder = 0;
  while (!(holder = Holder()) || !WindowOf(holder, false, nullptr)) {
    if (GetTickCount() - start >= patienceMs) return false;
    Sleep(50);
  }
  HWND window = WindowOf(holder, true, TfrmMain::kClassName);
  if (!window) window = WindowOf(holder, true, TfrmSplashPicture::kClassName);
  if (!window) return true;  // a silent run, or one not showing anything yet
  // Refused when this run is not in the foreground: then at least on top.
  if (!SetForegroundWindow(window))
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return true;
}
