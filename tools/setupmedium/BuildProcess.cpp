#include "BuildProcess.h"

#include <cstdio>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace setupmedium {
namespace {

// The folders the living guards stand for, the newest last, and the lock
// over them (the i686 Windows build's thread model has no std::mutex).
std::vector<fs::path> g_guarded;
#ifdef _WIN32
SRWLOCK g_guardedLock = SRWLOCK_INIT;
struct GuardedLock {
  GuardedLock() { AcquireSRWLockExclusive(&g_guardedLock); }
  ~GuardedLock() { ReleaseSRWLockExclusive(&g_guardedLock); }
};
#else
std::mutex g_guardedLock;
struct GuardedLock {
  const std::lock_guard<std::mutex> lock{g_guardedLock};
};
#endif

// Removes every guarded folder; a writer still busy in one may add a file
// meanwhile, so each is tried again until it is gone.
void RemoveGuardedFolders() {
  const GuardedLock lock;
  for (auto folder = g_guarded.rbegin(); folder != g_guarded.rend(); ++folder) {
    for (int attempt = 0; attempt < 50; ++attempt) {
      std::error_code error;
      fs::remove_all(*folder, error);
      if (!fs::exists(*folder, error)) break;
    }
  }
  std::fputs("\nsetupmedium: interrupted; the unfinished medium was removed\n", stderr);
}

void Guard(const fs::path& folder) {
  const GuardedLock lock;
  g_guarded.push_back(folder);
}

void Unguard(const fs::path& folder) {
  const GuardedLock lock;
  for (auto at = g_guarded.rbegin(); at != g_guarded.rend(); ++at)
    if (*at == folder) {
      g_guarded.erase(std::next(at).base());
      break;
    }
}

}  // namespace

#ifdef _WIN32

long CurrentProcessId() { return static_cast<long>(GetCurrentProcessId()); }

bool ProcessIsRunning(long id) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

// The console's control handler runs on a thread of its own; each guard
// adds it and takes it away again.
struct RemoveOnInterrupt::State {
  fs::path folder;
};

namespace {
BOOL WINAPI OnControl(DWORD) {
  RemoveGuardedFolders();
  ExitProcess(130);
}
}  // namespace

RemoveOnInterrupt::RemoveOnInterrupt(const fs::path& folder) : state_(new State{folder}) {
  Guard(folder);
  SetConsoleCtrlHandler(&OnControl, TRUE);
}

RemoveOnInterrupt::~RemoveOnInterrupt() {
  SetConsoleCtrlHandler(&OnControl, FALSE);
  Unguard(state_->folder);
  delete state_;
}

#else

long CurrentProcessId() { return static_cast<long>(getpid()); }

bool ProcessIsRunning(long id) { return id > 0 && (kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM); }

// The signals are blocked while the guard lives and taken by a thread of
// its own, which can remove the folder at ease (a signal handler could not).
struct RemoveOnInterrupt::State {
  fs::path folder;
  sigset_t signals;
  sigset_t before;
  std::atomic<bool> done{false};
  std::thread waiter;
};

RemoveOnInterrupt::RemoveOnInterrupt(const fs::path& folder) : state_(new State) {
  state_->folder = folder;
  Guard(folder);
  sigemptyset(&state_->signals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&state_->signals, signal);
  pthread_sigmask(SIG_BLOCK, &state_->signals, &state_->before);
  state_->waiter = std::thread([state = state_] {
    const timespec pause{0, 100 * 1000 * 1000};
    while (!state->done) {
      const int signal = sigtimedwait(&state->signals, nullptr, &pause);
      if (signal <= 0) continue;
      RemoveGuardedFolders();
      // End as the signal ends a process, so a calling shell sees it.
      std::signal(signal, SIG_DFL);
      sigset_t only;
      sigemptyset(&only);
      sigaddset(&only, signal);
      pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
      raise(signal);
      _exit(128 + signal);
    }
  });
}

RemoveOnInterrupt::~RemoveOnInterrupt() {
  state_->done = true;
  state_->waiter.join();
  pthread_sigmask(SIG_SETMASK, &state_->before, nullptr);
  Unguard(state_->folder);
  delete state_;
}

#endif

}  // namespace setupmedium
