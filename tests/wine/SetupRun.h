// Driving the real Setup.exe from a Windows-side test: files and folders of
// a test medium, a run as a separate process with its own temporary folder,
// and the message boxes it shows (read, then answered).
#pragma once

#include "FixturePaths.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace setup_test {

inline std::string ReadBytes(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
  CloseHandle(file);
  return bytes;
}

inline bool WriteBytes(const std::string& path, const std::string& bytes) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

inline bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool IsFolder(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

inline void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA(path.c_str());
}

// Removes a file even when it is read-only.
inline void RemoveFile(const std::string& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path.c_str());
}

inline std::string SystemFolderPath() {
  char buffer[MAX_PATH];
  UINT n = GetSystemDirectoryA(buffer, MAX_PATH);
  return std::string(buffer, n);
}

// A fresh, empty folder for one test, under the prefix's temporary folder.
inline std::string FreshFolder(const std::string& name) {
  char buffer[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, buffer);
  std::string path = std::string(buffer, n) + name;
  RemoveTree(path);
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The installer runs on after Setup has ended: its log, once it is written
// (waits up to ms for it).
inline std::string LogOfInstaller(const std::string& path, DWORD ms = 5000) {
  const DWORD start = GetTickCount();
  std::string log;
  while ((log = ReadBytes(path)).empty() && GetTickCount() - start < ms) Sleep(50);
  return log;
}

struct BoxSeen {
  std::string caption;
  std::string text;
  bool hasOk = false;
  bool hasCancel = false;
  bool othersDisabled = false;  // the program's visible windows were disabled
};

struct RunOptions {
  std::string commandLine;      // arguments after the program path
  std::string currentFolder;
  std::string tempFolder;       // TMP and TEMP of the run
  std::string installerLog;     // SETUP_TEST_INSTALLER_LOG; empty: not set
  std::function<void()> onPoll; // called about every 20 ms while it runs
  // Called once the process is created; the handles stay the driver's.
  std::function<void(const PROCESS_INFORMATION&)> onStart;
};

struct RunResult {
  DWORD exitCode = 0;
  DWORD elapsedMs = 0;
  bool finished = false;
  std::vector<BoxSeen> boxes;
};

inline std::string SetupExe() { return FixturePath(SETUP_EXE_PATH); }

namespace detail {

struct BoxSearch {
  DWORD processId;
  std::vector<HWND> boxes;
  std::vector<HWND> others;  // visible windows of the program that are not boxes
};

inline BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<BoxSearch*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->processId || !IsWindowVisible(window)) return TRUE;
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == "#32770")
    search->boxes.push_back(window);
  else
    search->others.push_back(window);
  return TRUE;
}

inline std::string WindowText(HWND window) {
  char buffer[4096] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

inline std::string EnvironmentWith(const std::vector<std::string>& replaced) {
  std::string block;
  char* strings = GetEnvironmentStringsA();
  for (char* p = strings; *p; p += strlen(p) + 1) {
    std::string entry = p;
    bool drop = false;
    for (const std::string& r : replaced) {
      std::string key = r.substr(0, r.find('=') + 1);
      if (_strnicmp(entry.c_str(), key.c_str(), key.size()) == 0) drop = true;
    }
    if (entry.rfind("SETUP_TEST_INSTALLER_LOG=", 0) == 0) drop = true;
    if (!drop) block += entry + '\0';
  }
  FreeEnvironmentStringsA(strings);
  for (const std::string& r : replaced) block += r + '\0';
  block += '\0';
  return block;
}

}  // namespace detail

// Starts Setup.exe, answers every message box with its first button (OK),
// and waits for the end (at most 60 s).
inline RunResult RunSetup(const RunOptions& options) {
  RunResult result;
  std::vector<std::string> environment = {"TMP=" + options.tempFolder,
                                          "TEMP=" + options.tempFolder};
  if (!options.installerLog.empty())
    environment.push_back("SETUP_TEST_INSTALLER_LOG=" + options.installerLog);
  std::string block = detail::EnvironmentWith(environment);
  std::string commandLine = "\"" + SetupExe() + "\"";
  if (!options.commandLine.empty()) commandLine += " " + options.commandLine;

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const DWORD start = GetTickCount();
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, &block[0],
                      options.currentFolder.c_str(), &startup, &process))
    return result;
  if (options.onStart) options.onStart(process);
  std::vector<HWND> answered;
  while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
    if (options.onPoll) options.onPoll();
    if (GetTickCount() - start > 60000) {
      TerminateProcess(process.hProcess, 999);
      break;
    }
    detail::BoxSearch search{process.dwProcessId, {}, {}};
    EnumWindows(&detail::CollectWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND box : search.boxes) {
      bool seen = false;
      for (HWND a : answered) seen = seen || a == box;
      if (seen) continue;
      Sleep(100);  // let the box finish coming up
      BoxSeen b;
      b.caption = detail::WindowText(box);
      b.text = detail::WindowText(GetDlgItem(box, 0xFFFF));
      b.hasOk = GetDlgItem(box, IDOK) != nullptr;
      b.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
      b.othersDisabled = !search.others.empty();
      for (HWND other : search.others) b.othersDisabled = b.othersDisabled && !IsWindowEnabled(other);
      result.boxes.push_back(b);
      answered.push_back(box);
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    }
  }
  result.elapsedMs = GetTickCount() - start;
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  result.exitCode = code;
  result.finished = code != STILL_ACTIVE || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

}  // namespace setup_test
