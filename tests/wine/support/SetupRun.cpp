#include "SetupRun.h"

#include <commctrl.h>

#include <cstring>

namespace setup_test {

namespace {

struct ClassSearch {
  DWORD processId;
  const char* className;
  HWND found;
};

BOOL CALLBACK FindOfProcess(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ClassSearch*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (pid != search->processId || strcmp(name, search->className) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK FindBar(HWND window, LPARAM data) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (strcmp(name, PROGRESS_CLASSA) != 0) return TRUE;
  *reinterpret_cast<HWND*>(data) = window;
  return FALSE;
}

// This process's environment with the given entries replaced, as a block
// of UTF-16 strings (so that values outside the ANSI code page pass).
std::wstring EnvironmentWith(const std::vector<std::wstring>& replaced) {
  std::wstring block;
  wchar_t* strings = GetEnvironmentStringsW();
  for (wchar_t* p = strings; *p; p += wcslen(p) + 1) {
    std::wstring entry = p;
    bool drop = entry.rfind(L"SETUP_TEST_INSTALLER_LOG=", 0) == 0;
    for (const std::wstring& r : replaced) {
      std::wstring key = r.substr(0, r.find(L'=') + 1);
      if (_wcsnicmp(entry.c_str(), key.c_str(), key.size()) == 0) drop = true;
    }
    if (!drop) block += entry + L'\0';
  }
  FreeEnvironmentStringsW(strings);
  for (const std::wstring& r : replaced) block += r + L'\0';
  block += L'\0';
  return block;
}

// A job holding Setup.exe and whatever it starts; closing it ends them all.
class RunJob {
public:
  RunJob() : job_(CreateJobObjectA(nullptr, nullptr)) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  }
  ~RunJob() { CloseHandle(job_); }
  RunJob(const RunJob&) = delete;
  RunJob& operator=(const RunJob&) = delete;

  bool Add(HANDLE process) { return AssignProcessToJobObject(job_, process) != FALSE; }

  // Waits until no process of the job runs (false after timeoutMs).
  bool WaitEmpty(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
      JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
      if (!QueryInformationJobObject(job_, JobObjectBasicAccountingInformation, &info, sizeof info,
                                     nullptr))
        return false;
      if (info.ActiveProcesses == 0) return true;
      if (GetTickCount() - start > timeoutMs) return false;
      Sleep(20);
    }
  }

private:
  HANDLE job_;
};

}  // namespace

HWND WindowOf(DWORD processId, const char* className) {
  ClassSearch search{processId, className, nullptr};
  EnumWindows(&FindOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool VisibleRect(HWND window, RECT* rect) {
  RECT r;
  if (!window || !IsWindowVisible(window) || !GetWindowRect(window, &r)) return false;
  *rect = r;
  return true;
}

int ProgressOf(HWND form) {
  HWND bar = nullptr;
  if (form) EnumChildWindows(form, &FindBar, reinterpret_cast<LPARAM>(&bar));
  DWORD_PTR position = 0;
  if (!bar || !SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &position))
    return -1;
  return static_cast<int>(position);
}

RunResult RunSetup(const RunOptions& options) {
  RunResult result;
  const std::wstring temp =
      options.tempFolderWide.empty() ? Wide(options.tempFolder) : options.tempFolderWide;
  std::vector<std::wstring> environment = {L"TMP=" + temp, L"TEMP=" + temp};
  if (!options.installerLog.empty())
    environment.push_back(L"SETUP_TEST_INSTALLER_LOG=" + Wide(options.installerLog));
  std::wstring block = EnvironmentWith(environment);
  std::string commandLine = "\"" + (options.program.empty() ? SetupExe() : options.program) + "\"";
  if (!options.commandLine.empty()) commandLine += " " + options.commandLine;

  RunJob job;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // A start that fails runs none of the program, so it is tried again: it
  // failed once under Wine on a busy machine, where the same start passed
  // every other time. A program that cannot start fails every attempt.
  for (int attempt = 1; !CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE,
                                        CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT, &block[0],
                                        options.currentFolder.c_str(), &startup, &process);
       ++attempt) {
    if (attempt == 3) {
      result.notFinished = "Setup.exe did not start, error " + std::to_string(GetLastError());
      return result;
    }
    Sleep(1000 * attempt);
  }
  const DWORD start = GetTickCount();
  const bool inJob = job.Add(process.hProcess);
  if (!inJob) result.notFinished = "not in the run's job, error " + std::to_string(GetLastError());
  ResumeThread(process.hThread);
  if (options.onStart) options.onStart(process);
  BoxWatcher boxes(process.dwProcessId);
  bool timedOut = false;
  while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
    if (options.onPoll) options.onPoll();
    if (options.watch) options.watch(process.dwProcessId);
    if (GetTickCount() - start > 120000) {  // a hang, not a slow machine
      TerminateProcess(process.hProcess, 999);
      timedOut = true;
      break;
    }
    for (const std::string& name : boxes.Poll()) result.windowsShown.insert(name);
    // The test's own windows (a background under the program's) repaint.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  result.elapsedMs = GetTickCount() - start;
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  result.exitCode = code;
  result.boxes = boxes.Boxes();
  if (timedOut)
    result.notFinished = "it ran for two minutes and was stopped";
  else if (inJob && !job.WaitEmpty(30000))
    result.notFinished = "a process it started still ran 30 s after it ended";
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

}  // namespace setup_test
