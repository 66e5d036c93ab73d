// Driving the real Setup.exe from a Windows-side test: files and folders of
// a test medium, a run as a separate process with its own temporary folder,
// the message boxes it shows (read, then answered), and what the test may
// read of its windows while it runs.
//
// A run ends when Setup.exe and every process it started (the installer)
// have ended, so the installer's log is complete when RunSetup returns.
// Whatever a watcher reads of the program's windows may fail at any moment
// (the process can end between two calls): use a value only when the call
// that gave it succeeded, and judge a window's life by what the run did
// after the look (ProgressOf read afterwards), not by one poll.
#pragma once

#include "BoxWatcher.h"
#include "FixturePaths.h"

#include <windows.h>

#include <functional>
#include <set>
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

// The installer's log after a run (RunSetup has waited for the installer).
// Deprecated: kept for older callers; ms is no longer needed.
inline std::string LogOfInstaller(const std::string& path, DWORD ms = 0) {
  (void)ms;
  return ReadBytes(path);
}

// The show command of every start of the test installer logging to log,
// in order: "4" for SW_SHOWNOACTIVATE, "-" when it was given none.
inline std::vector<std::string> InstallerStarts(const std::string& log) {
  std::vector<std::string> shows;
  for (const std::string& line : Lines(ReadBytes(log + ".starts")))
    shows.push_back(line.substr(line.find(' ') + 1));
  return shows;
}

struct RunOptions {
  std::string commandLine;      // arguments after the program path
  std::string currentFolder;
  std::string tempFolder;       // TMP and TEMP of the run
  std::string installerLog;     // SETUP_TEST_INSTALLER_LOG; empty: not set
  std::function<void()> onPoll; // called about every 20 ms while it runs
  std::function<void(DWORD processId)> watch;  // the same, given the run's process
};

struct RunResult {
  DWORD exitCode = 0;
  DWORD elapsedMs = 0;
  bool finished = false;         // Setup.exe and every process it started ended
  std::vector<BoxSeen> boxes;
  std::set<std::string> windowsShown;  // classes of its windows seen visible (boxes aside)
};

inline std::string SetupExe() { return FixturePath(SETUP_EXE_PATH); }

// The top-level window of the given class that the process owns, if any.
HWND WindowOf(DWORD processId, const char* className);
// The window's rectangle when it is visible and could be read.
bool VisibleRect(HWND window, RECT* rect);
// The position of the progress bar in the program's window form, -1 when
// it could not be read (the window has gone).
int ProgressOf(HWND form);

// Starts Setup.exe, answers every message box with its first button (OK),
// and waits for the end of the run (at most 60 s, then it is ended).
RunResult RunSetup(const RunOptions& options);

}  // namespace setup_test
