// TPanel: a child window with an outer and an inner bevel (lowered, or
// raised for every other style), a border in the
// panel colour between them, a fill and an (here always empty) caption.
#pragma once

#include "ui/panels/core/Bevel.h"
#include "ui/controls/Controls.h"

enum TBorderStyle { bsNone, bsSingle };

class TPanel : public TWinControl {
public:
  explicit TPanel(std::string name) : TWinControl(std::move(name)) {}

  void SetBevelOuter(TFxBevelStyle bevel) { bevelOuter_ = bevel; }
  void SetBevelInner(TFxBevelStyle bevel) { bevelInner_ = bevel; }
  void SetBevelWidth(int width) { bevelWidth_ = width; }
  void SetBorderWidth(int width) { borderWidth_ = width; }
  void SetBorderStyle(TBorderStyle style) { borderStyle_ = style; }
  // False: the panel always fills itself, also under visual styles.
  void SetParentBackground(bool parentBackground) { parentBackground_ = parentBackground; }

  // The client rectangle less the border width and each bevel that is drawn.
  RECT AlignRect() const override;

protected:
  const char* ClassName() const override { return "TPanel"; }
  // bsSingle with 3-D controls: the sunken client edge instead of a line.
  DWORD ExStyle() const override { return borderStyle_ == bsSingle ? WS_EX_CLIENTEDGE : 0; }
  bool OnEraseBackground(HDC dc) override { return true; }  // the paint covers everything
  void PaintWindow(HDC dc) override;

private:
  void DrawBevel(HDC dc, RECT& r, TFxBevelStyle bevel);

  TFxBevelStyle bevelOuter_ = bvRaised;
  TFxBevelStyle bevelInner_ = bvNone;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  bool parentBackground_ = true;
};
