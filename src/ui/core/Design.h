// The design both windows were laid out in, and how a layout follows the
// screen it comes up on: font heights by the screen's pixels per inch,
// lengths by the text height the window font measures against the designed
// one.
#pragma once

#include "ui/core/MulDiv.h"

inline constexpr int kDesignPixelsPerInch = 96;
inline constexpr char kDesignFontName[] = "MS Sans Serif";

// A font height designed at 96 pixels per inch, for a screen of pixelsPerInch.
inline int FontHeightForScreen(int designHeight, int pixelsPerInch) {
  return pixelsPerInch == kDesignPixelsPerInch
             ? designHeight
             : MulDivRound(designHeight, pixelsPerInch, kDesignPixelsPerInch);
}

// Whether a measured text height asks for the design to be scaled (it
// differs from the designed one and was measured at all).
inline bool ScalesDesign(int measuredTextHeight, int designTextHeight) {
  return measuredTextHeight != designTextHeight && measuredTextHeight > 0;
}

// A design length scaled from the designed text height to the measured one.
inline int ScaleToText(int length, int measuredTextHeight, int designTextHeight) {
  return ScalesDesign(measuredTextHeight, designTextHeight)
             ? MulDivRound(length, measuredTextHeight, designTextHeight)
             : length;
}
