// Runs Setup.exe once on a medium and samples its memory while it runs.
// Usage: setup_memory_driver SETUP_EXE MEDIUM TEMP
// TMP and TEMP of the run are TEMP; the medium is the first argument.
// Prints "peak_working_set_kb N", "seconds S" and "exit_code C". The peak
// working set is read every 20 ms while Setup runs (after it has ended the
// platform gives zeros).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: setup_memory_driver SETUP_EXE MEDIUM TEMP\n");
    return 2;
  }
  SetEnvironmentVariableA("TMP", argv[3]);
  SetEnvironmentVariableA("TEMP", argv[3]);
  std::string commandLine = std::string("\"") + argv[1] + "\" " + argv[2];
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, argv[2],
                      &startup, &process)) {
    std::fprintf(stderr, "cannot start %s\n", argv[1]);
    return 1;
  }
  SIZE_T peak = 0;
  do {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters) &&
        counters.PeakWorkingSetSize > peak)
      peak = counters.PeakWorkingSetSize;
  } while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT);
  QueryPerformanceCounter(&end);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  std::printf("peak_working_set_kb %lu\n", static_cast<unsigned long>(peak / 1024));
  std::printf("seconds %.3f\n",
              static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
  std::printf("exit_code %lu\n", static_cast<unsigned long>(exitCode));
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
