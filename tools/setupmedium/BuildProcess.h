// The build as a process: its id, whether another build is still running,
// and the removal of its unfinished medium when it is interrupted (Ctrl-C,
// SIGTERM, closing the console), so no half-written folder is left behind.
#pragma once

#include <filesystem>

namespace setupmedium {

long CurrentProcessId();
bool ProcessIsRunning(long id);

// While it lives, an interruption removes folder, with the folders of the
// other living guards, and then ends the process as the interruption would
// have.
class RemoveOnInterrupt {
public:
  explicit RemoveOnInterrupt(const std::filesystem::path& folder);
  ~RemoveOnInterrupt();
  RemoveOnInterrupt(const RemoveOnInterrupt&) = delete;
  RemoveOnInterrupt& operator=(const RemoveOnInterrupt&) = delete;

private:
  struct State;
  State* state_;
};

}  // namespace setupmedium
