#include "ui/controls/ProgressBar.h"

#include "runtime/Checks.h"
#include "runtime/ProcAddress.h"

#include <commctrl.h>

bool InitProgressClass() {
  HMODULE library = GetModuleHandleA("comctl32.dll");
  if (!library) library = LoadLibraryA("comctl32.dll");  // stays loaded for the control
  auto initEx = PROC_ADDRESS(library, InitCommonControlsEx);
  if (!initEx) {
    InitCommonControls();
    return false;
  }
  INITCOMMONCONTROLSEX init = {sizeof init, ICC_PROGRESS_CLASS};
  initEx(&init);
  return true;
}

TProgressBar::~TProgressBar() {
  if (handle_) DestroyWindow(handle_);
}

int TProgressBar::Limit(int value) const {
  if (extended_) return value;
  return value < 0 ? 0 : value > 65535 ? 65535 : value;
}

void TProgressBar::CreateHandle(HWND parentHandle) {
  if (handle_) return;
  extended_ = InitProgressClass();
  handle_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, Left(), Top(), Width(),
                            Height(), parentHandle, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!handle_) RaiseLastOSError();
  if (extended_)
    SendMessageA(handle_, PBM_SETRANGE32, min_, max_);
  else
    SendMessageA(handle_, PBM_SETRANGE, 0, MAKELPARAM(Limit(min_), Limit(max_)));
  SendMessageA(handle_, PBM_SETSTEP, step_, 0);
  SendMessageA(handle_, PBM_SETPOS, Limit(position_), 0);
}

void TProgressBar::SetPosition(int position) {
  position_ = position;
  if (handle_) SendMessageA(handle_, PBM_SETPOS, Limit(position_), 0);
}

void TProgressBar::BoundsChanged() {
  if (handle_)
    SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}
