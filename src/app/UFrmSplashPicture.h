// The splash picture window: a borderless topmost pop-up that shows the
// medium's splash picture, with pure black see-through.
#pragma once

#include "ui/Form.h"

#include <memory>

class TPicture;
class TImage;

class TfrmSplashPicture : public TForm {
public:
  // Creates the window; it comes up at once, empty, topmost and centred at
  // its design size, and becomes the application's main window.
  TfrmSplashPicture();
  ~TfrmSplashPicture() override;

  // The picture holder of imgPicture.
  TPicture& Picture();
  TImage& imgPicture();

protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void ApplyDesignSize();
  void OnPaint();
  void OnSize();

  struct Controls;
  std::unique_ptr<Controls> controls_;
};

// The program's splash window, created by the start-up sequence only when
// the medium has a splash picture.
extern TfrmSplashPicture* frmSplashPicture;

// SetLayeredWindowAttributes, looked up by name in "User32.dll" once;
// nullptr where the platform lacks it.
using SetLayeredWindowAttributesProc = decltype(&::SetLayeredWindowAttributes);
SetLayeredWindowAttributesProc LayeredWindowAttributes();
// Replaces the looked-up operation (nullptr: as if the platform lacked
// it). For the tests.
void OverrideLayeredWindowAttributes(SetLayeredWindowAttributesProc proc);

// The one place where the window measures its font: the height of the text
// "0" in the form font ("MS Sans Serif", height -11 scaled to the screen's
// LOGPIXELSY when that is not 96). The tests can put their own measure in.
using TextHeightMeasure = int (*)(HWND window);
int MeasureSplashTextHeight(HWND window);
void OverrideSplashTextHeightMeasure(TextHeightMeasure measure);  // nullptr: the real one
