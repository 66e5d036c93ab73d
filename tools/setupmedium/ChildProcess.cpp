#include "ChildProcess.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace setupmedium {

ProgramRun RunProgram(const std::vector<std::string>& arguments, const std::filesystem::path& log) {
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!log.empty()) {
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  pid_t child = 0;
  const int started = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ProgramRun run;
  if (started != 0) return run;
  run.started = true;
  int status = 0;
  while (waitpid(child, &status, 0) < 0)
    if (errno != EINTR) return run;
  run.exited = WIFEXITED(status);
  run.code = run.exited ? WEXITSTATUS(status) : 0;
  return run;
}

}  // namespace setupmedium
