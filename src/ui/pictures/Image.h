// The image control: shows a picture inside its parent window. It has no
// native window of its own; the parent paints it into its own surface.
#pragma once

#include "ui/controls/Controls.h"  // TAlign: of the alignments, the image takes alClient
#include "ui/pictures/Picture.h"

#include <windows.h>

class TImage {
public:
  explicit TImage(int left = 0, int top = 0, int width = 105, int height = 105);

  // The window the control lives in; with alClient it takes its client area.
  void SetParent(HWND parent);
  TPicture& Picture() { return picture_; }

  TAlign Align = alNone;
  bool AutoSize = false;
  bool Center = false;
  bool Transparent = false;

  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.right - bounds_.left; }
  int Height() const { return bounds_.bottom - bounds_.top; }
  void SetBounds(int left, int top, int width, int height);
  // Puts the control where its alignment says (the whole client area for
  // alClient); the parent calls this when its size changed.
  void Realign();

  // Where the picture goes, in the control's own coordinates: the
  // picture's size, centred when Center is set.
  RECT DestRect();
  // True when the picture is not transparent and covers the whole control,
  // so the parent need not paint beneath it.
  bool Opaque() const { return opaque_; }
  // The control's area in the parent's client coordinates.
  RECT BoundsRect() const { return bounds_; }

  // Draws the picture into the parent's device context.
  void Paint(HDC dc);

private:
  void PictureChanged();
  void Invalidate();

  HWND parent_ = nullptr;
  RECT bounds_;
  bool opaque_ = false;
  TPicture picture_;
};
