// Running another program and waiting for it to end, for the Linux build of
// the toolkit: the preview script and osslsigncode.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace setupmedium {

struct ProgramRun {
  bool started = false;  // false: the program could not be started
  bool exited = false;   // false: it did not end by itself (a signal), or the wait failed
  int code = 0;          // its exit code when it exited
};

// Runs arguments[0], found on PATH, with the rest as its arguments, and
// waits for it. With a log, its standard output and error go to that file
// (made afresh, for the user only); without, they are this program's.
ProgramRun RunProgram(const std::vector<std::string>& arguments, const std::filesystem::path& log = {});

}  // namespace setupmedium
