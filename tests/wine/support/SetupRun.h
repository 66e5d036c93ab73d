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
#include "Files.h"
#include "FixturePaths.h"
#include "runtime/Workspace.h"

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace setup_test {

// The show command of every start of the test installer logging to log,
// in order: "4" for SW_SHOWNOACTIVATE, "-" when it was given none.
inline std::vector<std::string> InstallerStarts(const std::string& log) {
  std::vector<std::string> shows;
  for (const std::string& line : Lines(ReadBytes(log + ".starts")))
    shows.push_back(line.substr(line.find(' ') + 1));
  return shows;
}

struct RunOptions {
  std::string program;          // the Setup.exe to run; empty: the built one
  std::string commandLine;      // arguments after the program path
  std::string currentFolder;
  std::string tempFolder;       // TMP and TEMP of the run
  std::wstring tempFolderWide;  // instead of tempFolder, for names outside the ANSI code page
  std::string installerLog;     // SETUP_TEST_INSTALLER_LOG; empty: not set
  std::function<void()> onPoll; // called about every 20 ms while it runs
  std::function<void(DWORD processId)> watch;  // the same, given the run's process
  // Called once the process runs; the handles stay the driver's.
  std::function<void(const PROCESS_INFORMATION&)> onStart;
};

struct RunResult {
  DWORD exitCode = 0;
  DWORD elapsedMs = 0;
  // Empty when Setup.exe and every process it started ended, else why not.
  std::string notFinished;
  std::vector<BoxSeen> boxes;
  std::set<std::string> windowsShown;  // classes of its windows seen visible (boxes aside)
};

// The workspace a run left in the temporary folder (temp without a
// trailing backslash): its one folder of the workspaces' name form holding
// the marker; empty when there is none, or more than one.
inline std::string WorkspaceIn(const std::string& temp) {
  std::string found;
  int count = 0;
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA((temp + "\\Setup.*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    const std::string folder = temp + "\\" + entry.cFileName;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsWorkspaceName(entry.cFileName) &&
        Exists(folder + "\\" + kWorkspaceMarker)) {
      found = folder;
      ++count;
    }
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return count == 1 ? found : std::string();
}

inline std::string SetupExe() { return FixturePath(SETUP_EXE_PATH); }

// The top-level window of the given class that the process owns, if any.
HWND WindowOf(DWORD processId, const char* className);
// The window's rectangle when it is visible and could be read.
bool VisibleRect(HWND window, RECT* rect);
// The position of the progress bar in the program's window form, -1 when
// it could not be read (the window has gone).
int ProgressOf(HWND form);

// Starts Setup.exe, answers every message box with its first button (OK),
// and waits for the end of the run (at most 120 s, then it is ended).
RunResult RunSetup(const RunOptions& options);

}  // namespace setup_test
