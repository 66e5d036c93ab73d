// The picture holder: holds at most one picture, chosen by file name
// extension through the registry of file formats.
#pragma once

#include <functional>
#include <memory>
#include <string>

class TGraphic;

class TPicture {
public:
  TPicture();
  ~TPicture();

  // Loads a file, choosing the picture kind by its extension. On failure the
  // holder keeps what it held before and the failure propagates.
  void LoadPictureFile(const std::string& fileName);

  TGraphic* Graphic() const { return graphic_.get(); }
  // The held picture's size in pixels, 0 when there is none.
  int PictureWidth() const;
  int PictureHeight() const;

  // Called whenever the held picture is replaced or changes.
  void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

private:
  void Changed();

  std::unique_ptr<TGraphic> graphic_;
  std::function<void()> onChange_;
};
