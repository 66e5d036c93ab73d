#include "runtime/Cursor.h"

#include <windows.h>

namespace {

TCursor screenCursor = crDefault;

HCURSOR CursorHandle(TCursor cursor) {
  return LoadCursor(nullptr, cursor == crHourGlass ? IDC_WAIT : IDC_ARROW);
}

// Asks the window under the pointer, if it is one of ours, to set its pointer.
void LetWindowUnderPointerChoose() {
  POINT p;
  HWND window = GetCursorPos(&p) ? WindowFromPoint(p) : nullptr;
  if (window && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
    LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(LOWORD(hit), WM_MOUSEMOVE));
  } else {
    SetCursor(CursorHandle(crDefault));
  }
}

}  // namespace

TCursor ScreenCursor() { return screenCursor; }

void SetScreenCursor(TCursor cursor) {
  screenCursor = cursor;
  if (cursor == crDefault)
    LetWindowUnderPointerChoose();
  else
    SetCursor(CursorHandle(cursor));
}

bool ApplyScreenCursor() {
  if (screenCursor == crDefault) return false;
  SetCursor(CursorHandle(screenCursor));
  return true;
}
