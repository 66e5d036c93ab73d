// Files held open by another process with chosen sharing (the fixture
// program file_holder), and that program's other role: a planted program
// that leaves "planted.ran" beside itself when it is started.
#pragma once

#include "SetupRun.h"

#include <windows.h>

#include <string>
#include <vector>

namespace setup_test {

inline std::string FileHolderExe() { return FixturePath(FILE_HOLDER_PATH); }

// The planted program's bytes, and whether a copy of it in folder ran.
inline std::string PlantedProgramBytes() { return ReadBytes(FileHolderExe()); }
inline bool PlantedProgramRan(const std::string& folder) {
  return Exists(folder + "\\planted.ran");
}

// Holds the files open from construction until Release or destruction.
// access and share as letters r, w, d (read, write, delete; "-" for none).
class HeldFiles {
public:
  HeldFiles(const std::vector<std::string>& paths, const char* access, const char* share) {
    static int counter = 0;
    const std::string event = "setup-test-holder-" + std::to_string(GetCurrentProcessId()) + "-" +
                              std::to_string(++counter);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
    std::string commandLine =
        "\"" + FileHolderExe() + "\" hold " + event + " " + access + " " + share;
    for (const std::string& path : paths) commandLine += " \"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (ready && CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &process)) {
      CloseHandle(process.hThread);
      process_ = process.hProcess;
      HANDLE both[2] = {ready, process_};
      holding_ = WaitForMultipleObjects(2, both, FALSE, 60000) == WAIT_OBJECT_0;
    }
    if (ready) CloseHandle(ready);
  }
  ~HeldFiles() { Release(); }
  HeldFiles(const HeldFiles&) = delete;
  HeldFiles& operator=(const HeldFiles&) = delete;

  // True when every file was opened and is held.
  bool Holding() const { return holding_; }

  void Release() {
    if (!process_) return;
    TerminateProcess(process_, 0);
    WaitForSingleObject(process_, 60000);
    CloseHandle(process_);
    process_ = nullptr;
    holding_ = false;
  }

private:
  HANDLE process_ = nullptr;
  bool holding_ = false;
};

}  // namespace setup_test
