// The splash picture window: a borderless topmost pop-up that shows the
// medium's splash picture, with pure black see-through.
#pragma once

#include "runtime/Handles.h"
#include "ui/Form.h"
#include "ui/FormEnvironment.h"
#include "ui/pictures/Image.h"

class TPicture;

class TfrmSplashPicture : public TForm {
public:
  static constexpr char kClassName[] = "TfrmSplashPicture";  // the native window class

  // Creates the window; it comes up at once, empty, topmost and centred at
  // its design size, and becomes the application's main window. The
  // environment gives the text height it scales by and the colour-key
  // operation.
  explicit TfrmSplashPicture(const TFormEnvironment& environment = PlatformEnvironment());
  ~TfrmSplashPicture() override;

  // The picture holder of imgPicture.
  TPicture& Picture();

  TImage imgPicture;

protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void ApplyDesignSize(int textHeight);
  void OnPaint();
  void OnSize();

  UniqueBrush background_;
};

// The program's splash window, created by the start-up sequence only when
// the medium has a splash picture; the application object owns it until the
// program halts.
extern TfrmSplashPicture* frmSplashPicture;

// The form font as the window measures it: "MS Sans Serif", height -11
// scaled to the screen's LOGPIXELSY when that is not 96, default pitch.
TFontRequest SplashFormFont();
