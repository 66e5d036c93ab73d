// The gradient panel family: TFxCustomControl (a child window that repaints
// wholly on every size change), TFxCustomBevelPanel (owns its TFxBevel) and
// TFxPanel (paints its background by mode: a gradient, or a plain fill).
#pragma once

#include "ui/panels/core/Bevel.h"
#include "ui/controls/Controls.h"
#include "ui/controls/Font.h"
#include "ui/panels/core/Gradient.h"

enum TFxBackmode { tmNone, tmCenter, tmGradient, tmTile, tmStretch };
enum TFxAlignment { agLeft, agCenter, agRight };

class TFxCustomControl : public TWinControl {
public:
  using TWinControl::TWinControl;

protected:
  const char* ClassName() const override { return "TFxPanel"; }
  DWORD Style() const override { return WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN; }
  // Owned descriptions report changes here; ignored while loading.
  void DescriptionChanged();

  bool loading_ = false;
};

class TFxCustomBevelPanel : public TFxCustomControl {
public:
  explicit TFxCustomBevelPanel(std::string name);
  TFxBevel& Bevel() { return bevel_; }

protected:
  // Draws the bevel into r (only when its extent is not 0) and shrinks r by
  // the extent.
  void PaintBevel(HDC dc, RECT& r);

private:
  TFxBevel bevel_;
};

class TFxPanel : public TFxCustomBevelPanel {
public:
  explicit TFxPanel(std::string name);

  TFxBackmode Background() const { return background_; }
  void SetBackground(TFxBackmode mode);
  TFxGradient& Gradient() { return gradient_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  void SetAlignment(TFxAlignment alignment) { alignment_ = alignment; Invalidate(); }
  void SetFont(const TFontRequest& font) { font_ = font; Invalidate(); }

  // While loading, change notifications of the descriptions are ignored;
  // EndLoading invalidates once.
  void BeginLoading() { loading_ = true; }
  void EndLoading();

protected:
  bool OnEraseBackground(HDC dc) override;
  void PaintWindow(HDC dc) override;
  // Fills r with the gradient; may raise a failure, which ends the paint.
  virtual void PaintGradient(HDC dc, const RECT& r);

private:
  void PaintCaption(HDC dc, const RECT& r);

  TFxBackmode background_ = tmNone;
  TFxGradient gradient_;
  std::string caption_;
  TFxAlignment alignment_ = agCenter;
  TFontRequest font_;
};

// Fills r with gradient in the gstSquare style: one rectangle per band with
// a null pen, outermost first, clipped to r, straight into dc.
void FillSquareGradient(HDC dc, const RECT& r, const std::vector<TRGB>& bands);
// The general shapes of the other styles.
void FillGradient(HDC dc, const RECT& r, TFxGradientStyle style, const std::vector<TRGB>& bands);
