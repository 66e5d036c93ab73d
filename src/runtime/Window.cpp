#include "runtime/Window.h"

#include "runtime/Application.h"
#include "runtime/Checks.h"
#include "runtime/Cursor.h"

// The window goes with its owner; it no longer reaches this object on the way.
Window::~Window() {
  if (handle_) SetWindowLongPtrA(handle_.get(), GWLP_USERDATA, 0);
}

void Window::CreateNative(const char* className, DWORD style, DWORD exStyle, int x, int y,
                          int width, int height, HWND parentOrOwner, HCURSOR cursor,
                          HBRUSH background, UINT classStyle) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA existing;
  if (!GetClassInfoA(instance, className, &existing)) {
    WNDCLASSA wc = {};
    wc.style = classStyle;
    wc.lpfnWndProc = &Window::Procedure;
    wc.hInstance = instance;
    wc.hCursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    if (!RegisterClassA(&wc)) RaiseLastOSError();
  }
  HWND created = CreateWindowExA(exStyle, className, "", style, x, y, width, height,
                                 parentOrOwner, nullptr, instance, this);
  if (!created) {
    handle_.release();  // set by WM_NCCREATE, already destroyed by the platform
    RaiseLastOSError();
  }
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(handle_.get(), message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* self = static_cast<Window*>(create->lpCreateParams);
    self->handle_.reset(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_SETCURSOR && ApplyScreenCursor()) return TRUE;
  return Application->Guarded(
      [&]() { return self->HandleMessage(message, wParam, lParam); });
}
