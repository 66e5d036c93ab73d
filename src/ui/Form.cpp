#include "ui/Form.h"

#include "runtime/Application.h"

namespace {

RECT WindowBounds(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

}  // namespace

void TForm::CreateForm(const char* className, int left, int top, int clientWidth,
                       int clientHeight, bool stayOnTop, DWORD exStyle, HCURSOR cursor,
                       HBRUSH background) {
  const DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  RECT r = {left, top, left + clientWidth, top + clientHeight};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  CreateNative(className, style, exStyle, left, top, r.right - r.left, r.bottom - r.top,
               Application ? Application->Handle() : nullptr, cursor, background);
  if (stayOnTop)
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int TForm::Left() const { return WindowBounds(Handle()).left; }
int TForm::Top() const { return WindowBounds(Handle()).top; }
int TForm::Width() const { RECT r = WindowBounds(Handle()); return r.right - r.left; }
int TForm::Height() const { RECT r = WindowBounds(Handle()); return r.bottom - r.top; }

void TForm::SetBounds(int left, int top, int width, int height) {
  SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}
void TForm::SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
void TForm::SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
void TForm::SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
void TForm::SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

void TForm::SetClientSize(int width, int height) {
  RECT r = {0, 0, width, height};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)));
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

bool TForm::Visible() const { return IsWindowVisible(Handle()) != FALSE; }

void TForm::PlaceForFirstShow() {
  if (position_ == poScreenCenter) {
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - Width()) / 2,
              (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2, Width(), Height());
  }
  // poDefaultSizeOnly: a borderless window takes no default from the
  // platform, so it stays where Left and Top put it.
  position_ = poDesigned;
}

void TForm::Show() {
  if (!Visible()) {
    PlaceForFirstShow();
    ShowWindow(Handle(), SW_SHOWNORMAL);
  }
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_WINDOWPOSCHANGED && Application) {
    const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (position->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) Application->UpdateTaskbarEntry();
  }
  return Window::HandleMessage(message, wParam, lParam);
}
