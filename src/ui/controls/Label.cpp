#include "ui/controls/Label.h"

#include "ui/core/MulDiv.h"
#include "ui/controls/VisualStyles.h"

void TLabel::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  AdjustBounds();
  Invalidate();
}

void TLabel::SetFont(const TFontRequest& font) {
  font_ = font;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  AdjustBounds();
}

void TLabel::SetWordWrap(bool wordWrap) {
  wordWrap_ = wordWrap;
  AdjustBounds();
  Invalidate();
}

bool TLabel::Transparent() const {
  return transparent_ ? *transparent_ : VisualStylesActive();
}

TColor TLabel::Color() const { return parent_ ? parent_->Color() : clBtnFace; }

UINT TLabel::TextFlags() const {
  UINT flags = DT_EXPANDTABS;
  if (wordWrap_) flags |= DT_WORDBREAK;
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  return flags;
}

void TLabel::ScaleBy(int m, int d) {
  font_.height = MulDivRound(font_.height, m, d);
  TGraphicControl::ScaleBy(m, d);
  AdjustBounds();
}

void TLabel::AdjustBounds() {
  if (!autoSize_) return;
  WindowDC screen(nullptr);
  UniqueFont font = CreateFontFor(font_);
  SelectionGuard select(screen.get(), font.get());
  // An empty text keeps the height of one line.
  const std::string text = caption_.empty() ? std::string(" ") : caption_;
  RECT r = {0, 0, Width(), Height()};
  DrawTextA(screen.get(), text.data(), static_cast<int>(text.size()), &r,
            TextFlags() | DT_CALCRECT);
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TLabel::Paint(HDC dc) {
  RECT box = {0, 0, Width(), Height()};
  if (!Transparent()) FillSolid(dc, box, Color());
  UniqueFont font = CreateFontFor(font_);
  SelectionGuard select(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(font_.color));
  DrawTextA(dc, caption_.data(), static_cast<int>(caption_.size()), &box, DT_LEFT | TextFlags());
}
