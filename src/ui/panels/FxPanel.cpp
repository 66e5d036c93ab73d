#include "ui/panels/FxPanel.h"

#include "runtime/Checks.h"
#include "ui/core/MulDiv.h"

namespace {

// A brush for one band; running out of drawing resources raises a failure.
UniqueBrush BandBrush(const TRGB& colour) {
  HBRUSH brush = CreateSolidBrush(RGB(colour.red, colour.green, colour.blue));
  if (!brush) RaiseLastOSError();
  return UniqueBrush(brush);
}

class ClipTo {
public:
  ClipTo(HDC dc, const RECT& r) : dc_(dc), saved_(SaveDC(dc)) {
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  ~ClipTo() { RestoreDC(dc_, saved_); }
  ClipTo(const ClipTo&) = delete;
  ClipTo& operator=(const ClipTo&) = delete;

private:
  HDC dc_;
  int saved_;
};

// Draws every pixel of the inclusive block with a null pen: Rectangle then
// leaves out its last column and row, hence the + 1 beyond the block.
void FillBlock(HDC dc, int left, int top, int right, int bottom) {
  Rectangle(dc, left, top, right + 2, bottom + 2);
}

}  // namespace

void FillSquareGradient(HDC dc, const RECT& r, const std::vector<TRGB>& bands) {
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  const auto blocks = SquareGeometry(width, height, static_cast<int>(bands.size()));
  if (blocks.empty()) return;
  ClipTo clip(dc, r);
  SelectionGuard pen(dc, GetStockObject(NULL_PEN));
  for (const SquareBand& b : blocks) {
    UniqueBrush brush = BandBrush(bands[static_cast<size_t>(b.band)]);
    SelectionGuard select(dc, brush.get());
    FillBlock(dc, r.left + b.left, r.top + b.top, r.left + b.right, r.top + b.bottom);
  }
}

void FillGradient(HDC dc, const RECT& r, TFxGradientStyle style, const std::vector<TRGB>& bands) {
  const int n = static_cast<int>(bands.size());
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (style == gstSquare) return FillSquareGradient(dc, r, bands);
  if (n == 0 || width <= 0 || height <= 0) return;
  ClipTo clip(dc, r);
  SelectionGuard pen(dc, GetStockObject(NULL_PEN));
  // Outermost band first, so band 0 ends on top where shapes are nested.
  for (int k = n - 1; k >= 0; --k) {
    UniqueBrush brush = BandBrush(bands[static_cast<size_t>(k)]);
    SelectionGuard select(dc, brush.get());
    const int x0 = MulDivRound(k, width, n), x1 = MulDivRound(k + 1, width, n);
    const int y0 = MulDivRound(k, height, n), y1 = MulDivRound(k + 1, height, n);
    const int gx = MulDivRound(k + 1, width, n), gy = MulDivRound(k + 1, height, n);
    switch (style) {
      case gstHorizontal:
        Rectangle(dc, r.left + x0, r.top, r.left + x1 + 1, r.bottom + 1);
        break;
      case gstVertical:
        Rectangle(dc, r.left, r.top + y0, r.right + 1, r.top + y1 + 1);
        break;
      case gstElliptic: {
        const int cx = r.left + width / 2, cy = r.top + height / 2;
        // Large enough that the outermost ellipse covers the corners.
        const int ex = MulDivRound(gx, 3, 4) + 1, ey = MulDivRound(gy, 3, 4) + 1;
        Ellipse(dc, cx - ex, cy - ey, cx + ex + 1, cy + ey + 1);
        break;
      }
      case gstTopLeft:
        Rectangle(dc, r.left, r.top, r.left + gx + 1, r.top + gy + 1);
        break;
      case gstTopRight:
        Rectangle(dc, r.right - gx, r.top, r.right + 1, r.top + gy + 1);
        break;
      case gstBottomLeft:
        Rectangle(dc, r.left, r.bottom - gy, r.left + gx + 1, r.bottom + 1);
        break;
      case gstBottomRight:
        Rectangle(dc, r.right - gx, r.bottom - gy, r.right + 1, r.bottom + 1);
        break;
      case gstTopLeftDiagonal:
      case gstTopRightDiagonal: {
        // A triangle cut off the corner by a diagonal line.
        const bool left = style == gstTopLeftDiagonal;
        const int ox = left ? r.left - 1 : r.right;
        const int dir = left ? 1 : -1;
        POINT corner[3] = {{ox, r.top - 1}, {ox + dir * 2 * (gx + 1), r.top - 1},
                           {ox, r.top - 1 + 2 * (gy + 1)}};
        Polygon(dc, corner, 3);
        break;
      }
      default:
        break;
    }
  }
}

void TFxCustomControl::DescriptionChanged() {
  if (!loading_) Invalidate();
}

TFxCustomBevelPanel::TFxCustomBevelPanel(std::string name) : TFxCustomControl(std::move(name)) {
  SetColor(clBtnFace);
  bevel_.SetOnChange([this] { DescriptionChanged(); });
}

void TFxCustomBevelPanel::PaintBevel(HDC dc, RECT& r) {
  const int extent = bevel_.Extent();
  if (extent == 0) return;
  if (bevel_.Mode() == bmCustom) {
    RECT ring = r;
    auto drawStyle = [&](TFxBevelStyle style, int width) {
      switch (style) {
        case bvNone:
          break;
        case bvLowered:
          DrawFrame(dc, ring, width, bevel_.ShadowColor(), bevel_.LightColor());
          break;
        case bvRaised:
        case bvNormal:
          DrawFrame(dc, ring, width, bevel_.LightColor(), bevel_.ShadowColor());
          break;
        case bvFrameLowered:
          DrawFrame(dc, ring, width, bevel_.ShadowColor(), bevel_.ShadowColor());
          DrawFrame(dc, ring, 1, bevel_.LightColor(), bevel_.LightColor());
          break;
        case bvFrameRaised:
          DrawFrame(dc, ring, 1, bevel_.LightColor(), bevel_.LightColor());
          DrawFrame(dc, ring, width, bevel_.ShadowColor(), bevel_.ShadowColor());
          break;
        case bvShadow:
          DrawFrame(dc, ring, width, bevel_.BorderColor(), bevel_.ShadowColor());
          break;
      }
    };
    drawStyle(bevel_.StyleOuter(), bevel_.WidthOuter());
    DrawFrame(dc, ring, bevel_.BorderWidth(), bevel_.BorderColor(), bevel_.BorderColor());
    drawStyle(bevel_.StyleInner(), bevel_.WidthInner());
    DrawFrame(dc, ring, bevel_.BorderInnerWidth(), bevel_.BorderColor(), bevel_.BorderColor());
  } else {
    RECT ring = r;
    DrawFrame(dc, ring, extent, bevel_.ShadowColor(), bevel_.LightColor());
  }
  InflateRect(&r, -extent, -extent);
}

TFxPanel::TFxPanel(std::string name) : TFxCustomBevelPanel(std::move(name)) {
  gradient_.SetOnChange([this] { DescriptionChanged(); });
}

void TFxPanel::SetBackground(TFxBackmode mode) {
  if (mode == background_) return;
  background_ = mode;
  DescriptionChanged();
}

void TFxPanel::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  Invalidate();
}

void TFxPanel::EndLoading() {
  loading_ = false;
  Invalidate();
}

bool TFxPanel::OnEraseBackground(HDC dc) {
  FillSolid(dc, ClientRect(), Color());
  return true;
}

void TFxPanel::PaintGradient(HDC dc, const RECT& r) {
  FillGradient(dc, r, gradient_.Style(), gradient_.Bands());
}

void TFxPanel::PaintWindow(HDC dc) {
  RECT r = ClientRect();
  if (background_ != tmGradient) {
    // No picture is set, so every other mode paints like tmNone.
    FillSolid(dc, r, Color());
    PaintBevel(dc, r);
    PaintCaption(dc, r);
    return;
  }
  PaintBevel(dc, r);
  try {
    PaintGradient(dc, r);
  } catch (...) {
    // Whatever the failure (drawing resources, memory): what was drawn
    // stays, and the caption is left out.
    return;
  }
  PaintCaption(dc, r);
}

void TFxPanel::PaintCaption(HDC dc, const RECT& r) {
  if (caption_.empty()) return;
  UniqueFont font = CreateFontFor(font_);
  SelectionGuard select(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(font_.color));
  UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  format |= alignment_ == agLeft ? DT_LEFT : alignment_ == agRight ? DT_RIGHT : DT_CENTER;
  RECT box = r;
  DrawTextA(dc, caption_.data(), static_cast<int>(caption_.size()), &box, format);
}
