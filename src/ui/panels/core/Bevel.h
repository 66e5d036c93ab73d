// TFxBevel: the bevel description of the gradient panel family. It keeps its
// extent, the number of pixels by which it shrinks the panel's client
// rectangle on each side, and recomputes it on every change.
#pragma once

#include "ui/controls/core/Colors.h"

#include <functional>

enum TFxBevelMode { bmCustom, bmStandard, bmEdge, bmWindows };
enum TFxBevelStyle { bvNone, bvLowered, bvRaised, bvFrameLowered, bvFrameRaised, bvNormal, bvShadow };
enum TFxEdgeStyle { etEtched, etBump, etRaised, etSunken };
enum TFxStandardStyle { lsSingleLowered, lsSingleRaised, lsDoubleLowered, lsDoubleRaised };

enum TFxBorderSide : unsigned { bsLeft = 1, bsTop = 2, bsRight = 4, bsBottom = 8 };
inline constexpr unsigned kAllBorderSides = bsLeft | bsTop | bsRight | bsBottom;

class TFxBevel {
public:
  TFxBevel() { Recompute(); }

  TFxBevelStyle StyleInner() const { return styleInner_; }
  TFxBevelStyle StyleOuter() const { return styleOuter_; }
  int WidthInner() const { return widthInner_; }
  int WidthOuter() const { return widthOuter_; }
  TColor BorderColor() const { return borderColor_; }
  unsigned BorderSides() const { return borderSides_; }
  int BorderWidth() const { return borderWidth_; }
  int BorderInnerWidth() const { return borderInnerWidth_; }
  TFxEdgeStyle EdgeStyle() const { return edgeStyle_; }
  TColor LightColor() const { return lightColor_; }
  TFxBevelMode Mode() const { return mode_; }
  TColor ShadowColor() const { return shadowColor_; }
  TFxStandardStyle StandardStyle() const { return standardStyle_; }

  void SetStyleInner(TFxBevelStyle v) { Set(styleInner_, v); }
  void SetStyleOuter(TFxBevelStyle v) { Set(styleOuter_, v); }
  void SetWidthInner(int v) { Set(widthInner_, v); }
  void SetWidthOuter(int v) { Set(widthOuter_, v); }
  void SetBorderColor(TColor v) { Set(borderColor_, v); }
  void SetBorderSides(unsigned v) { Set(borderSides_, v); }
  void SetBorderWidth(int v) { Set(borderWidth_, v); }
  void SetBorderInnerWidth(int v) { Set(borderInnerWidth_, v); }
  void SetEdgeStyle(TFxEdgeStyle v) { Set(edgeStyle_, v); }
  void SetLightColor(TColor v) { Set(lightColor_, v); }
  void SetMode(TFxBevelMode v) { Set(mode_, v); }
  void SetShadowColor(TColor v) { Set(shadowColor_, v); }
  void SetStandardStyle(TFxStandardStyle v) { Set(standardStyle_, v); }

  // Pixels taken from each side of the client rectangle; 0 draws nothing.
  int Extent() const { return extent_; }

  void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

private:
  template <typename T>
  void Set(T& field, T value) {
    if (field == value) return;
    field = value;
    Recompute();
    if (onChange_) onChange_();
  }
  void Recompute();

  TFxBevelStyle styleInner_ = bvNone;
  TFxBevelStyle styleOuter_ = bvNone;
  int widthInner_ = 1;
  int widthOuter_ = 1;
  TColor borderColor_ = clBtnFace;
  unsigned borderSides_ = kAllBorderSides;
  int borderWidth_ = 0;
  int borderInnerWidth_ = 0;
  TFxEdgeStyle edgeStyle_ = etEtched;
  TColor lightColor_ = clBtnHighlight;
  TFxBevelMode mode_ = bmCustom;
  TColor shadowColor_ = clBtnShadow;
  TFxStandardStyle standardStyle_ = lsSingleLowered;

  int extent_ = 0;
  std::function<void()> onChange_;
};
