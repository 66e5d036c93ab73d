// Message boxes of a program under test: each box is read once when it is
// seen, then answered with OK. Watches another process (polled by the run
// driver) or a thread of this process (from a thread of its own).
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace setup_test {

struct BoxSeen {
  std::string caption;
  std::string text;
  bool hasOk = false;
  bool hasCancel = false;
  // Every visible window of the program that is not a box was disabled
  // while the box was up (true when there was none).
  bool othersDisabled = false;
};

class BoxWatcher {
public:
  // Boxes of the process; of one of its threads when thread is not 0.
  explicit BoxWatcher(DWORD processId, DWORD threadId = 0)
      : processId_(processId), threadId_(threadId) {}

  // Reads and answers the boxes that came up since the last poll. Gives
  // the classes of the program's other visible windows.
  std::vector<std::string> Poll();

  std::vector<BoxSeen> Boxes() const;

private:
  DWORD processId_;
  DWORD threadId_;
  std::vector<HWND> answered_;
  mutable std::mutex mutex_;
  std::vector<BoxSeen> boxes_;
};

// A BoxWatcher of this process's current thread, polling from a thread of
// its own until it is destroyed (for tests whose own thread shows boxes).
class BackgroundBoxWatcher {
public:
  BackgroundBoxWatcher();
  ~BackgroundBoxWatcher();

  std::vector<BoxSeen> Boxes() const { return watcher_.Boxes(); }
  size_t Count() const { return watcher_.Boxes().size(); }

private:
  BoxWatcher watcher_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace setup_test
