// Placeholder until the splash window is built: an empty topmost pop-up.
#include "app/UFrmSplashPicture.h"

#include "runtime/Application.h"
#include "ui/pictures/Picture.h"

TfrmSplashPicture* frmSplashPicture = nullptr;

struct TfrmSplashPicture::Controls {
  TPicture picture;
};

TfrmSplashPicture::TfrmSplashPicture() : controls_(std::make_unique<Controls>()) {
  CreateForm("TfrmSplashPicture", 345, 201, 239, 118, true);
  SetPosition(poScreenCenter);
  Application->RegisterForm(Handle());
  Show();
}

TfrmSplashPicture::~TfrmSplashPicture() = default;

TPicture& TfrmSplashPicture::Picture() { return controls_->picture; }
