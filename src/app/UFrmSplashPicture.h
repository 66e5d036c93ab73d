// The splash picture window: a borderless topmost pop-up that shows the
// medium's splash picture, with pure black see-through.
#pragma once

#include "ui/Form.h"

#include <memory>

class TPicture;

class TfrmSplashPicture : public TForm {
public:
  // Creates the window; it comes up at once, empty, topmost and centred at
  // its design size, and becomes the application's main window.
  TfrmSplashPicture();
  ~TfrmSplashPicture() override;

  // The picture holder of imgPicture.
  TPicture& Picture();

private:
  struct Controls;
  std::unique_ptr<Controls> controls_;
};

// The program's splash window, created by the start-up sequence only when
// the medium has a splash picture.
extern TfrmSplashPicture* frmSplashPicture;
