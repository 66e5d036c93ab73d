// Pumping pending window messages: a failure raised while a message is
// dispatched is reported in a box and the pumping goes on.
#include "runtime/Application.h"
#include "runtime/Cursor.h"
#include "runtime/core/Failures.h"
#include "runtime/Wait.h"
#include "runtime/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const UINT kRaiseJpeg = WM_APP + 1;
const UINT kRaiseAbort = WM_APP + 2;
const UINT kCount = WM_APP + 3;

class ProbeWindow : public Window {
public:
  ProbeWindow() {
    CreateNative("SetupPumpProbe", WS_POPUP | WS_VISIBLE, 0, 10, 10, 50, 50, Application->Handle());
  }
  int counted = 0;

protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case kRaiseJpeg: throw EJPEG("JPEG-Fehler #53");
      case kRaiseAbort: throw EAbort("");
      case kCount: ++counted; return 0;
      default: return Window::HandleMessage(message, wParam, lParam);
    }
  }
};

// Watches the test's thread for message boxes, notes them, answers OK.
struct BoxWatch {
  DWORD thread;
  HWND probe;
  HANDLE stop;
  std::vector<std::string> captions;
  std::vector<std::string> texts;
  std::vector<bool> probeEnabled;

  static BOOL CALLBACK Visit(HWND window, LPARAM self) {
    auto* watch = reinterpret_cast<BoxWatch*>(self);
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
    Sleep(100);
    char caption[256] = {}, text[1024] = {};
    GetWindowTextA(window, caption, sizeof caption);
    GetWindowTextA(GetDlgItem(window, 0xFFFF), text, sizeof text);
    watch->captions.push_back(caption);
    watch->texts.push_back(text);
    watch->probeEnabled.push_back(IsWindowEnabled(watch->probe) != FALSE);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    return TRUE;
  }
  static DWORD WINAPI Run(void* self) {
    auto* watch = static_cast<BoxWatch*>(self);
    while (WaitForSingleObject(watch->stop, 20) == WAIT_TIMEOUT)
      EnumThreadWindows(watch->thread, &BoxWatch::Visit, reinterpret_cast<LPARAM>(self));
    return 0;
  }
};

}  // namespace

TEST(Pumping, FailureDuringDispatchIsShownWithTheTitleWhileOtherWindowsAreDisabledAndPumpingGoesOn) {
  TApplication app;
  Application = &app;
  app.SetTitle("Setup");
  {
    ProbeWindow probe;
    BoxWatch watch{GetCurrentThreadId(), probe.Handle(), CreateEventA(nullptr, TRUE, FALSE, nullptr),
                   {}, {}, {}};
    HANDLE watcher = CreateThread(nullptr, 0, &BoxWatch::Run, &watch, 0, nullptr);

    PostMessageA(probe.Handle(), kRaiseJpeg, 0, 0);
    PostMessageA(probe.Handle(), kRaiseAbort, 0, 0);  // the silent kind: no box
    PostMessageA(probe.Handle(), kCount, 0, 0);
    app.ProcessMessages();
    EXPECT_EQ(probe.counted, 1);
    // Messages posted later are dispatched by a wait.
    PostMessageA(probe.Handle(), kCount, 0, 0);
    WaitTicks(30);
    EXPECT_EQ(probe.counted, 2);

    SetEvent(watch.stop);
    WaitForSingleObject(watcher, 5000);
    CloseHandle(watcher);
    CloseHandle(watch.stop);
    ASSERT_EQ(watch.captions.size(), 1u);
    EXPECT_EQ(watch.captions[0], "Setup");
    EXPECT_EQ(watch.texts[0], "JPEG-Fehler #53.");
    EXPECT_FALSE(watch.probeEnabled[0]);
    EXPECT_TRUE(IsWindowEnabled(probe.Handle()));
  }
  Application = nullptr;
}

TEST(ScreenCursor, HourglassOverridesEveryWindowsPointerUntilSetBackToDefault) {
  TApplication app;
  Application = &app;
  {
    ProbeWindow probe;
    const HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    SetCursor(nullptr);
    SetScreenCursor(crHourGlass);
    EXPECT_EQ(GetCursor(), wait);
    SetCursor(nullptr);
    EXPECT_EQ(SendMessageA(probe.Handle(), WM_SETCURSOR, (WPARAM)probe.Handle(), overClient), TRUE);
    EXPECT_EQ(GetCursor(), wait);
    SendMessageA(app.Handle(), WM_SETCURSOR, (WPARAM)app.Handle(), overClient);
    EXPECT_EQ(GetCursor(), wait);

    SetScreenCursor(crDefault);
    SetCursor(nullptr);
    SendMessageA(probe.Handle(), WM_SETCURSOR, (WPARAM)probe.Handle(), overClient);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));  // the window's class pointer
  }
  Application = nullptr;
}
