#include "ui/pictures/Picture.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Format.h"
#include "runtime/core/Messages.h"
#include "streams/core/FileStream.h"
#include "ui/pictures/core/FileExtension.h"
#include "ui/pictures/FileFormats.h"
#include "ui/pictures/Graphic.h"

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::LoadPictureFile(const std::string& fileName) {
  const std::string extension = PictureFileExtension(fileName);
  const TFileFormat* format = GetFileFormats().Find(LowerExtension(extension));
  if (!format) throw EInvalidGraphic(Format(msg::UnknownExtension, extension.c_str()));

  std::unique_ptr<TGraphic> graphic = format->factory();
  {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    graphic->LoadFromStream(stream);
  }
  graphic_ = std::move(graphic);
  graphic_->SetOnChange([this]() { Changed(); });
  Changed();
}

void TPicture::Changed() {
  if (onChange_) onChange_();
}

int TPicture::PictureWidth() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::PictureHeight() const { return graphic_ ? graphic_->Height() : 0; }
