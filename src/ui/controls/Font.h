// Font requests of the layouts: face, height (negative: the em height in
// pixels), weight, colour and pitch. Every request carries the default
// character set; the layouts' requests ask for fixed pitch.
#pragma once

#include "runtime/Handles.h"
#include "ui/controls/core/Colors.h"

#include <string>

struct TFontRequest {
  std::string face;
  int height = 0;
  bool bold = false;
  TColor color = clBlack;
  bool fixedPitch = true;
};

UniqueFont CreateFontFor(const TFontRequest& request);

// The display's pixels per inch.
int ScreenPixelsPerInch();

// The height of the digit "0" in the font on the screen: the measured text
// height that decides whether a window is scaled.
int MeasureTextHeight(const TFontRequest& request);

// Face name and height of the font the platform matched for a request.
struct MatchedFont {
  std::string face;
  int height;
};
MatchedFont DescribeMatchedFont(const TFontRequest& request);
