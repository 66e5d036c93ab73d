#include "ui/controls/Panel.h"

RECT TPanel::AlignRect() const {
  RECT r = ClientRect();
  int inset = borderWidth_;
  if (bevelOuter_ != bvNone) inset += bevelWidth_;
  if (bevelInner_ != bvNone) inset += bevelWidth_;
  InflateRect(&r, -inset, -inset);
  return r;
}

void TPanel::DrawBevel(HDC dc, RECT& r, TFxBevelStyle bevel) {
  if (bevel == bvNone) return;
  if (bevel == bvLowered)
    DrawFrame(dc, r, bevelWidth_, clBtnShadow, clBtnHighlight);
  else
    DrawFrame(dc, r, bevelWidth_, clBtnHighlight, clBtnShadow);
}

void TPanel::PaintWindow(HDC dc) {
  RECT r = ClientRect();
  DrawBevel(dc, r, bevelOuter_);
  DrawFrame(dc, r, borderWidth_, Color(), Color());
  DrawBevel(dc, r, bevelInner_);
  // Under visual styles a panel taking its parent's background would leave
  // it showing; the parent here is button face as well, so the fill looks
  // the same and is always drawn.
  FillSolid(dc, r, Color());
}
