#include "ui/panels/Font.h"

UniqueFont CreateFontFor(const TFontSpec& spec) {
  return UniqueFont(CreateFontA(spec.height, 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, FIXED_PITCH | FF_DONTCARE, spec.face.c_str()));
}

int ScreenPixelsPerInch() {
  WindowDC screen(nullptr);
  return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

MatchedFont DescribeMatchedFont(const TFontSpec& spec) {
  WindowDC screen(nullptr);
  UniqueFont font = CreateFontFor(spec);
  SelectionGuard select(screen.get(), font.get());
  char face[LF_FACESIZE] = {};
  GetTextFaceA(screen.get(), LF_FACESIZE, face);
  SIZE size = {};
  GetTextExtentPoint32A(screen.get(), "0", 1, &size);
  return MatchedFont{face, size.cy};
}

int MeasureTextHeight(const TFontSpec& spec) { return DescribeMatchedFont(spec).height; }
