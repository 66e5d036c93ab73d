// Base of the program's two top-level windows: a borderless pop-up owned by
// the hidden application window, optionally topmost, with the placement
// modes that decide where it goes the first time it is shown.
#pragma once

#include "runtime/Window.h"

enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter };

class TForm : public Window {
public:
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }

  // Outer bounds in screen pixels.
  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void SetLeft(int left);
  void SetTop(int top);
  void SetWidth(int width);
  void SetHeight(int height);
  void SetBounds(int left, int top, int width, int height);
  void SetClientSize(int width, int height);

  bool Visible() const;
  // Makes the window visible (placing it the first time, see Position) and
  // brings it to the front.
  void Show();

protected:
  // Creates the hidden native window: WS_POPUP, no frame, owned by the
  // application window; topmost when stayOnTop.
  void CreateForm(const char* className, int left, int top, int clientWidth, int clientHeight,
                  bool stayOnTop, DWORD exStyle = 0, HCURSOR cursor = nullptr,
                  HBRUSH background = nullptr);

  // Places the window before its first showing according to Position; the
  // position then becomes poDesigned.
  void PlaceForFirstShow();

  // Keeps the application's taskbar entry in step with the window's
  // visibility.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  TPosition position_ = poDesigned;
};
