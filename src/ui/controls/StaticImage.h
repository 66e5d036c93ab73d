// A picture control for a bitmap from the program's resources, drawn
// unscaled and opaque at its top-left corner; its size follows the picture.
#pragma once

#include "runtime/Handles.h"
#include "ui/controls/Controls.h"

class TStaticImage : public TGraphicControl {
public:
  explicit TStaticImage(std::string name) : TGraphicControl(std::move(name)) {}

  // Loads the bitmap resource of that name from the program; the control
  // takes its size. Raises EInvalidGraphic when the resource is missing.
  void LoadBitmapResource(const char* resourceName);
  HBITMAP Bitmap() const { return bitmap_.get(); }

  void ScaleBy(int m, int d) override;
  void Paint(HDC dc) override;

private:
  void FitToPicture();

  UniqueBitmap bitmap_;
};
