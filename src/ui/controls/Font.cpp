#include "ui/controls/Font.h"

UniqueFont CreateFontFor(const TFontRequest& request) {
  return UniqueFont(CreateFontA(request.height, 0, 0, 0, request.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY,
                                (request.fixedPitch ? FIXED_PITCH : DEFAULT_PITCH) | FF_DONTCARE,
                                request.face.c_str()));
}

int ScreenPixelsPerInch() {
  WindowDC screen(nullptr);
  return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

MatchedFont DescribeMatchedFont(const TFontRequest& request) {
  WindowDC screen(nullptr);
  UniqueFont font = CreateFontFor(request);
  SelectionGuard select(screen.get(), font.get());
  char face[LF_FACESIZE] = {};
  GetTextFaceA(screen.get(), LF_FACESIZE, face);
  SIZE size = {};
  GetTextExtentPoint32A(screen.get(), "0", 1, &size);
  return MatchedFont{face, size.cy};
}

int MeasureTextHeight(const TFontRequest& request) { return DescribeMatchedFont(request).height; }
