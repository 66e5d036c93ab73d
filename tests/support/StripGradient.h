// The progress window's strip gradient: white to blue in 64 square bands,
// as the layout sets it, for the gradient tests native and Windows-side.
#pragma once

#include "ui/panels/core/Gradient.h"

inline TFxGradient StripGradient() {
  TFxGradient g;
  g.SetColor(clWhite);
  g.SetColorCount(64);
  g.SetStyle(gstSquare);
  g.SetEndColor(clBlue);
  return g;
}
