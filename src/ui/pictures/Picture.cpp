// Placeholder until the picture kinds are in: every load is refused.
#include "ui/pictures/Picture.h"

#include "runtime/Failures.h"
#include "ui/pictures/Graphic.h"

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::LoadPictureFile(const std::string& fileName) {
  throw EInvalidGraphic("no picture kinds yet: " + fileName);
}

int TPicture::PictureWidth() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::PictureHeight() const { return graphic_ ? graphic_->Height() : 0; }
