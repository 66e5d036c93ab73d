#include "ui/pictures/Image.h"

#include "ui/pictures/Graphic.h"

TImage::TImage(int left, int top, int width, int height)
    : bounds_{left, top, left + width, top + height} {
  picture_.SetOnChange([this]() { PictureChanged(); });
}

void TImage::SetParent(HWND parent) {
  parent_ = parent;
  Realign();
}

void TImage::SetBounds(int left, int top, int width, int height) {
  Invalidate();
  bounds_ = RECT{left, top, left + width, top + height};
  Realign();
  Invalidate();
}

void TImage::Realign() {
  if (Align != alClient || !parent_) return;
  RECT client = {};
  GetClientRect(parent_, &client);
  bounds_ = client;
}

RECT TImage::DestRect() {
  TGraphic* graphic = picture_.Graphic();
  const int width = graphic ? graphic->Width() : 0;
  const int height = graphic ? graphic->Height() : 0;
  RECT r = {0, 0, width, height};
  if (Center) OffsetRect(&r, (Width() - width) / 2, (Height() - height) / 2);
  return r;
}

void TImage::PictureChanged() {
  TGraphic* graphic = picture_.Graphic();
  if (graphic) {
    if (AutoSize && graphic->Width() > 0 && graphic->Height() > 0)
      SetBounds(Left(), Top(), graphic->Width(), graphic->Height());
    graphic->SetTransparent(Transparent);  // metafiles stay transparent
    const RECT dest = DestRect();
    opaque_ = !graphic->Transparent() && dest.left <= 0 && dest.top <= 0 &&
              dest.right >= Width() && dest.bottom >= Height();
  } else {
    opaque_ = false;
  }
  Invalidate();
}

void TImage::Invalidate() {
  if (parent_) InvalidateRect(parent_, &bounds_, FALSE);
}

void TImage::Paint(HDC dc) {
  TGraphic* graphic = picture_.Graphic();
  if (!graphic) return;
  RECT dest = DestRect();
  OffsetRect(&dest, Left(), Top());
  graphic->Draw(dc, dest);
}
