#include "runtime/Application.h"

#include "runtime/Cursor.h"
#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"

#include <new>
#include <vector>

TApplication* Application = nullptr;

namespace {

const char kApplicationClass[] = "TApplication";

LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETCURSOR && ApplyScreenCursor()) return TRUE;
  return DefWindowProcA(window, message, wParam, lParam);
}

// Disables the thread's other visible windows while a box is open and
// enables them again afterwards.
class TaskWindowsDisabled {
public:
  explicit TaskWindowsDisabled(HWND except) : except_(except) {
    EnumThreadWindows(GetCurrentThreadId(), &TaskWindowsDisabled::Disable,
                      reinterpret_cast<LPARAM>(this));
  }
  TaskWindowsDisabled(const TaskWindowsDisabled&) = delete;
  TaskWindowsDisabled& operator=(const TaskWindowsDisabled&) = delete;
  ~TaskWindowsDisabled() {
    for (HWND window : disabled_)
      if (IsWindow(window)) EnableWindow(window, TRUE);
  }

private:
  static BOOL CALLBACK Disable(HWND window, LPARAM self) {
    auto* me = reinterpret_cast<TaskWindowsDisabled*>(self);
    if (window != me->except_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
      EnableWindow(window, FALSE);
      me->disabled_.push_back(window);
    }
    return TRUE;
  }

  HWND except_;
  std::vector<HWND> disabled_;
};

// Places a message box on the monitor of the window that was active when it
// was asked for: the box's owner, the hidden application window, sits on the
// primary monitor whatever monitor the program's windows are on.
class BoxOnActiveMonitor {
public:
  BoxOnActiveMonitor() : monitor_(MonitorOf(GetActiveWindow())) {
    if (monitor_) {
      current_ = this;
      hook_ = SetWindowsHookExA(WH_CBT, &BoxOnActiveMonitor::Hook, nullptr, GetCurrentThreadId());
    }
  }
  BoxOnActiveMonitor(const BoxOnActiveMonitor&) = delete;
  BoxOnActiveMonitor& operator=(const BoxOnActiveMonitor&) = delete;
  ~BoxOnActiveMonitor() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (current_ == this) current_ = nullptr;
  }

private:
  static HMONITOR MonitorOf(HWND window) {
    return window ? MonitorFromWindow(window, MONITOR_DEFAULTTONULL) : nullptr;
  }

  // Moves the box when it first becomes active, then unhooks.
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    BoxOnActiveMonitor* self = current_;
    if (!self) return 0;
    HHOOK hook = self->hook_;
    if (code == HCBT_ACTIVATE) {
      auto box = reinterpret_cast<HWND>(wParam);
      if (MonitorFromWindow(box, MONITOR_DEFAULTTONEAREST) != self->monitor_) {
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        RECT r;
        if (GetMonitorInfoA(self->monitor_, &info) && GetWindowRect(box, &r)) {
          const RECT& area = info.rcWork;
          const int width = r.right - r.left;
          const int height = r.bottom - r.top;
          SetWindowPos(box, nullptr, area.left + (area.right - area.left - width) / 2,
                       area.top + (area.bottom - area.top - height) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
      }
      UnhookWindowsHookEx(hook);
      self->hook_ = nullptr;
      return 0;
    }
    return CallNextHookEx(hook, code, wParam, lParam);
  }

  static inline BoxOnActiveMonitor* current_ = nullptr;
  HMONITOR monitor_;
  HHOOK hook_ = nullptr;
};

// Whether a window owned by the application window is visible.
struct OwnedWindowSearch {
  HWND owner;
  bool visible;

  static BOOL CALLBACK Visit(HWND window, LPARAM data) {
    auto* self = reinterpret_cast<OwnedWindowSearch*>(data);
    if (GetWindow(window, GW_OWNER) == self->owner && IsWindowVisible(window)) self->visible = true;
    return !self->visible;
  }
};

}  // namespace

TApplication::TApplication() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ApplicationProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, "MAINICON");
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kApplicationClass;
  RegisterClassA(&wc);
  // A zero-sized window off the screen: it carries the taskbar entry and
  // owns the program's windows and boxes.
  window_.reset(CreateWindowExA(0, kApplicationClass, "",
                                WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                                GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2,
                                0, 0, nullptr, nullptr, instance, nullptr));
}

TApplication::~TApplication() {
  while (!forms_.empty()) forms_.pop_back();
}

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  if (Handle()) SetWindowTextA(Handle(), title_.c_str());
}

void TApplication::RegisterForm(HWND form) {
  if (!mainForm_) mainForm_ = form;
}

void TApplication::UpdateTaskbarEntry() {
  if (!Handle()) return;
  OwnedWindowSearch search{Handle(), false};
  EnumThreadWindows(GetCurrentThreadId(), &OwnedWindowSearch::Visit,
                    reinterpret_cast<LPARAM>(&search));
  if (search.visible != (IsWindowVisible(Handle()) != FALSE))
    ShowWindow(Handle(), search.visible ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TApplication::Terminate() {
  PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& message) {
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (message.message == WM_QUIT) return true;
  TranslateMessage(&message);
  DispatchMessageA(&message);
  RaisePending();
  return true;
}

void TApplication::ProcessMessages() {
  MSG message;
  for (;;) {
    try {
      if (!ProcessMessage(message)) return;
    } catch (const EAbort&) {
      // the silent kind: nothing is shown
    } catch (const Exception& failure) {
      ShowException(failure);
    } catch (const std::bad_alloc&) {
      ShowException(EOutOfMemory(msg::OutOfMemory));
    }
  }
}

void TApplication::RaisePending() {
  if (pending_) {
    std::exception_ptr failure = std::move(pending_);
    pending_ = nullptr;
    std::rethrow_exception(failure);
  }
}

void TApplication::ShowException(const Exception& failure) {
  std::string text = failure.Message() + DispatchFullStopFor(failure.Message());
  ShowMessageBox(text.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

int TApplication::ShowMessageBox(const char* text, const char* caption, UINT flags) {
  BoxOnActiveMonitor placement;
  TaskWindowsDisabled disabled(Handle());
  return MessageBoxA(Handle(), text, caption, flags);
}
