#include "ui/panels/core/Bevel.h"

namespace {

// What one bevel ring of the given style and width takes.
int StyleExtent(TFxBevelStyle style, int width) {
  if (style == bvNone) return 0;
  int extent = width;
  if (style == bvFrameLowered || style == bvFrameRaised) extent += 1;
  return extent;
}

}  // namespace

void TFxBevel::Recompute() {
  switch (mode_) {
    case bmCustom:
      if (styleInner_ == bvShadow) {
        extent_ = widthInner_ + borderInnerWidth_;
      } else {
        extent_ = borderWidth_ + borderInnerWidth_ + StyleExtent(styleOuter_, widthOuter_) +
                  StyleExtent(styleInner_, widthInner_);
      }
      break;
    case bmStandard:
      extent_ = (standardStyle_ == lsSingleLowered || standardStyle_ == lsSingleRaised) ? 1 : 2;
      break;
    case bmEdge:
      extent_ = 2;
      break;
    case bmWindows:
      // The platform draws the border in the non-client area.
      extent_ = 0;
      break;
  }
}
