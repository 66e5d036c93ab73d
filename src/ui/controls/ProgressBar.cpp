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

TProgressBar::~TProgressBar() = default;  // window_ destroys the control

int TProgressBar::Limit(int value) const {
  if (extended_) return value;
  return value < 0 ? 0 : value > 65535 ? 65535 : value;
}

void TProgressBar::CreateHandle(HWND parentHandle) {
  if (Handle()) return;
  extended_ = InitProgressClass();
  window_.reset(CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, Left(), Top(),
                               Width(), Height(), parentHandle, nullptr, GetModuleHandleA(nullptr),
                               nullptr));
  if (!Handle()) RaiseLastOSError();
  if (extended_)
    SendMessageA(Handle(), PBM_SETRANGE32, min_, max_);
  else
    SendMessageA(Handle(), PBM_SETRANGE, 0, MAKELPARAM(Limit(min_), Limit(max_)));
  SendMessageA(Handle(), PBM_SETSTEP, step_, 0);
  SendMessageA(Handle(), PBM_SETPOS, Limit(position_), 0);
}

void TProgressBar::SetPosition(int position) {
  position_ = position;
  if (Handle()) SendMessageA(Handle(), PBM_SETPOS, Limit(position_), 0);
}

void TProgressBar::BoundsChanged() {
  if (Handle())
    SetWindowPos(Handle(), nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}
