#include "BoxWatcher.h"

#include <algorithm>

namespace setup_test {

namespace {

struct Search {
  DWORD processId;
  DWORD threadId;
  std::vector<HWND> boxes;
  std::vector<HWND> others;  // visible windows of the program that are not boxes
};

BOOL CALLBACK Collect(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD pid = 0;
  const DWORD thread = GetWindowThreadProcessId(window, &pid);
  if (pid != search->processId || (search->threadId && thread != search->threadId) ||
      !IsWindowVisible(window))
    return TRUE;
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  (std::string(name) == "#32770" ? search->boxes : search->others).push_back(window);
  return TRUE;
}

std::string TextOf(HWND window) {
  char buffer[4096] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}


}  // namespace

std::vector<std::string> BoxWatcher::Poll() {
  Search search{processId_, threadId_, {}, {}};
  EnumWindows(&Collect, reinterpret_cast<LPARAM>(&search));
  for (HWND box : search.boxes) {
    if (std::find(answered_.begin(), answered_.end(), box) == answered_.end()) {
      // A box is visible once its buttons and text are in place.
      BoxSeen seen;
      seen.caption = TextOf(box);
      seen.text = TextOf(GetDlgItem(box, 0xFFFF));
      seen.hasOk = GetDlgItem(box, IDOK) != nullptr;
      seen.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
      seen.othersDisabled = std::none_of(search.others.begin(), search.others.end(), [](HWND w) {
        return IsWindowVisible(w) && IsWindowEnabled(w);
      });
      std::lock_guard<std::mutex> lock(mutex_);
      boxes_.push_back(seen);
      answered_.push_back(box);
    }
    // OK at every poll until the box has gone: an answer that reaches a box
    // still coming up can be lost.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  }
  std::vector<std::string> classes;
  for (HWND other : search.others) {
    char name[64] = {};
    if (GetClassNameA(other, name, sizeof name) > 0) classes.push_back(name);
  }
  return classes;
}

std::vector<BoxSeen> BoxWatcher::Boxes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return boxes_;
}

BackgroundBoxWatcher::BackgroundBoxWatcher()
    : watcher_(GetCurrentProcessId(), GetCurrentThreadId()), thread_([this] {
        while (!stop_) {
          watcher_.Poll();
          Sleep(20);
        }
      }) {}

BackgroundBoxWatcher::~BackgroundBoxWatcher() {
  stop_ = true;
  thread_.join();
}

}  // namespace setup_test
