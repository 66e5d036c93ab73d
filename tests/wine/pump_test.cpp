// Pumping pending window messages: a failure raised while a message is
// dispatched is reported in a box and the pumping goes on.
#include "BoxWatcher.h"
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

}  // namespace

TEST(Pumping, FailureDuringDispatchIsShownWithTheTitleWhileOtherWindowsAreDisabledAndPumpingGoesOn) {
  TApplication app;
  Application = &app;
  app.SetTitle("Setup");
  {
    ProbeWindow probe;
    std::vector<setup_test::BoxSeen> boxes;
    {
      setup_test::BackgroundBoxWatcher watcher;
      PostMessageA(probe.Handle(), kRaiseJpeg, 0, 0);
      PostMessageA(probe.Handle(), kRaiseAbort, 0, 0);  // the silent kind: no box
      PostMessageA(probe.Handle(), kCount, 0, 0);
      app.ProcessMessages();
      EXPECT_EQ(probe.counted, 1);
      // Messages posted later are dispatched by a wait.
      PostMessageA(probe.Handle(), kCount, 0, 0);
      WaitTicks(30);
      EXPECT_EQ(probe.counted, 2);
      boxes = watcher.Boxes();
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Setup");
    EXPECT_EQ(boxes[0].text, "JPEG-Fehler #53.");
    EXPECT_TRUE(boxes[0].othersDisabled) << "the probe window";
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
