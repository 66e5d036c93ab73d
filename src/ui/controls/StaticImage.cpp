#include "ui/controls/StaticImage.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"

void TStaticImage::LoadBitmapResource(const char* resourceName) {
  HANDLE image = LoadImageA(GetModuleHandleA(nullptr), resourceName, IMAGE_BITMAP, 0, 0,
                            LR_CREATEDIBSECTION);
  if (!image) throw EInvalidGraphic(msg::InvalidBitmap);
  bitmap_.reset(static_cast<HBITMAP>(image));
  FitToPicture();
  Invalidate();
}

void TStaticImage::FitToPicture() {
  BITMAP info = {};
  if (!bitmap_ || !GetObjectA(bitmap_.get(), sizeof info, &info)) return;
  SetBounds(Left(), Top(), info.bmWidth, info.bmHeight);
}

void TStaticImage::ScaleBy(int m, int d) {
  TGraphicControl::ScaleBy(m, d);
  FitToPicture();  // the picture is never stretched
}

void TStaticImage::Paint(HDC dc) {
  if (!bitmap_) return;
  UniqueMemDC source(CreateCompatibleDC(dc));
  SelectionGuard select(source.get(), bitmap_.get());
  BITMAP info = {};
  GetObjectA(bitmap_.get(), sizeof info, &info);
  BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
}
