// TFxGradient: the description of a colour gradient (two colours or a list
// of stop colours, a band count and a style) and the table of band colours
// it computes whenever a property changes.
#pragma once

#include "ui/controls/core/Colors.h"

#include <functional>
#include <vector>

enum TFxGradientStyle {
  gstHorizontal,
  gstVertical,
  gstSquare,
  gstElliptic,
  gstTopLeft,
  gstTopRight,
  gstBottomLeft,
  gstBottomRight,
  gstTopLeftDiagonal,
  gstTopRightDiagonal
};

class TFxGradient {
public:
  static constexpr int kMinColorCount = 2;
  static constexpr int kMaxColorCount = 236;

  explicit TFxGradient(SystemColorResolver resolver = PlatformSystemColor);

  TColor Color() const { return color_; }
  int ColorCount() const { return colorCount_; }
  TFxGradientStyle Style() const { return style_; }
  TColor EndColor() const { return endColor_; }
  bool PaletteRealize() const { return paletteRealize_; }
  bool TwoColors() const { return twoColors_; }
  const std::vector<TColor>& ColorList() const { return colorList_; }

  // Each setter rebuilds the table and notifies the owner, but only when
  // the value changes.
  void SetColor(TColor color);
  void SetColorCount(int count);  // held within kMinColorCount..kMaxColorCount
  void SetStyle(TFxGradientStyle style);
  void SetEndColor(TColor color);
  void SetPaletteRealize(bool realize);
  void SetTwoColors(bool twoColors);
  void SetColorList(std::vector<TColor> stops);

  // Copies all properties and the stop colours, then rebuilds and notifies once.
  void Assign(const TFxGradient& source);

  // The band colours: band 0 has Color, the last band EndColor.
  const std::vector<TRGB>& Bands() const { return bands_; }

  // The owner's notification after a change.
  void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

  // Rebuilds the table, resolving system colours anew.
  void Rebuild();

private:
  void Changed();

  TColor color_ = clBlue;
  int colorCount_ = 16;
  TFxGradientStyle style_ = gstVertical;
  TColor endColor_ = clBlack;
  bool paletteRealize_ = false;
  bool twoColors_ = true;
  std::vector<TColor> colorList_;

  SystemColorResolver resolver_;
  std::vector<TRGB> bands_;
  std::function<void()> onChange_;
};

// Appends count bands running from start to end (channels interpolated with
// MulDiv rounding), leaving out the first skipFirst bands.
void AppendBands(std::vector<TRGB>& bands, TRGB start, TRGB end, int count, int skipFirst = 0);

// One filled block of the gstSquare style: band index and its pixels, both
// ends inclusive, relative to the painted rectangle's top-left corner.
struct SquareBand {
  int band;
  int left, top, right, bottom;
};

// The blocks of a gstSquare fill of a width x height rectangle with n bands,
// in drawing order (outermost band first). Empty when n, width or height is
// not positive.
std::vector<SquareBand> SquareGeometry(int width, int height, int n);
