// TLabel: text drawn on its parent's surface, left-justified from the top of
// its box, optionally word-wrapped, sized to its text when AutoSize is on.
#pragma once

#include "ui/controls/Controls.h"
#include "ui/controls/Font.h"

#include <optional>

class TLabel : public TGraphicControl {
public:
  explicit TLabel(std::string name) : TGraphicControl(std::move(name)) {}

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  const TFontRequest& Font() const { return font_; }
  void SetFont(const TFontRequest& font);

  void SetAutoSize(bool autoSize);
  void SetWordWrap(bool wordWrap);
  // Unset: transparent exactly when visual styles are active.
  void SetTransparent(bool transparent) { transparent_ = transparent; Invalidate(); }
  bool Transparent() const;
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool show) { showAccelChar_ = show; AdjustBounds(); Invalidate(); }

  void ScaleBy(int m, int d) override;
  void Paint(HDC dc) override;

  // Takes the size of the text (AutoSize only); the left edge stays.
  void AdjustBounds();

private:
  UINT TextFlags() const;
  // The label's colour is its parent's.
  TColor Color() const;

  std::string caption_;
  TFontRequest font_;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  std::optional<bool> transparent_;
  bool showAccelChar_ = true;
};
