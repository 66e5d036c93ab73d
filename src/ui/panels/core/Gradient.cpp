#include "ui/panels/core/Gradient.h"

#include "ui/core/MulDiv.h"

#include <algorithm>

namespace {

uint8_t Channel(int start, int end, int i, int last) {
  // One band alone is its start colour (MulDiv by zero would give -1).
  if (last <= 0) return static_cast<uint8_t>(start);
  return static_cast<uint8_t>(start + MulDivRound(i, end - start, last));
}

}  // namespace

TFxGradient::TFxGradient(SystemColorResolver resolver) : resolver_(resolver) { Rebuild(); }

void AppendBands(std::vector<TRGB>& bands, TRGB start, TRGB end, int count, int skipFirst) {
  for (int i = skipFirst; i < count; ++i) {
    bands.push_back(TRGB{Channel(start.red, end.red, i, count - 1),
                         Channel(start.green, end.green, i, count - 1),
                         Channel(start.blue, end.blue, i, count - 1)});
  }
}

void TFxGradient::Rebuild() {
  bands_.clear();
  if (twoColors_) {
    AppendBands(bands_, SplitRGB(ColorToRGB(color_, resolver_)),
                SplitRGB(ColorToRGB(endColor_, resolver_)), colorCount_);
    return;
  }
  const int stops = static_cast<int>(colorList_.size());
  if (stops < 2) return;
  const int perSegment = colorCount_ / stops;
  for (int s = 0; s + 1 < stops; ++s) {
    // A later segment starts with the colour the previous one ended with.
    AppendBands(bands_, SplitRGB(ColorToRGB(colorList_[s], resolver_)),
                SplitRGB(ColorToRGB(colorList_[s + 1], resolver_)), perSegment, s == 0 ? 0 : 1);
  }
}

void TFxGradient::Changed() {
  Rebuild();
  if (onChange_) onChange_();
}

void TFxGradient::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TFxGradient::SetColorCount(int count) {
  count = std::clamp(count, kMinColorCount, kMaxColorCount);
  if (count == colorCount_) return;
  colorCount_ = count;
  Changed();
}

void TFxGradient::SetStyle(TFxGradientStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFxGradient::SetEndColor(TColor color) {
  if (color == endColor_) return;
  endColor_ = color;
  Changed();
}

void TFxGradient::SetPaletteRealize(bool realize) {
  if (realize == paletteRealize_) return;
  paletteRealize_ = realize;
  Changed();
}

void TFxGradient::SetTwoColors(bool twoColors) {
  if (twoColors == twoColors_) return;
  twoColors_ = twoColors;
  Changed();
}

void TFxGradient::SetColorList(std::vector<TColor> stops) {
  if (stops == colorList_) return;
  colorList_ = std::move(stops);
  Changed();
}

void TFxGradient::Assign(const TFxGradient& source) {
  color_ = source.color_;
  colorCount_ = source.colorCount_;
  style_ = source.style_;
  endColor_ = source.endColor_;
  paletteRealize_ = source.paletteRealize_;
  twoColors_ = source.twoColors_;
  colorList_ = source.colorList_;
  Changed();
}

std::vector<SquareBand> SquareGeometry(int width, int height, int n) {
  std::vector<SquareBand> blocks;
  if (n <= 0 || width <= 0 || height <= 0) return blocks;
  const int cx = width / 2;
  const int cy = height / 2;
  blocks.reserve(static_cast<size_t>(n));
  for (int k = n - 1; k >= 0; --k) {
    const int gx = MulDivRound(k + 1, width, n) / 2;
    const int gy = MulDivRound(k + 1, height, n) / 2;
    blocks.push_back(SquareBand{k, cx - gx, cy - gy, cx + gx, cy + gy});
  }
  return blocks;
}
