// Base of the program's native windows: registers a window class by name,
// creates the window, and routes its messages to the virtual HandleMessage.
// A failure raised while a message is handled does not unwind through the
// platform's frames: it is kept and raised again by the pump once
// DispatchMessage has returned (see TApplication::ProcessMessages).
#pragma once

#include "runtime/Handles.h"

#include <windows.h>

#include <string>

class Window {
public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return handle_.get(); }

protected:
  // Registers the class (once per process) and creates the window.
  void CreateNative(const char* className, DWORD style, DWORD exStyle, int x, int y, int width,
                    int height, HWND parentOrOwner, HCURSOR cursor = nullptr,
                    HBRUSH background = nullptr, UINT classStyle = 0);

  // Called for every message; the default hands it to DefWindowProcA.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  UniqueWindow handle_;  // set as the window is being created (WM_NCCREATE)
};
