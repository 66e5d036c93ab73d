// The JPEG picture kind. Loading keeps the file's compressed bytes and reads
// only their header; the picture is decoded into a TBitmap the first time it
// is drawn, and that bitmap is what gets drawn from then on.
#pragma once

#include "ui/jpeg/core/JPEGData.h"
#include "ui/jpeg/core/JpegSettings.h"
#include "ui/pictures/Graphic.h"

#include <memory>

class TBitmap;

class TJPEGImage : public TGraphic {
public:
  // The settings are copied from the process-wide defaults.
  TJPEGImage();
  ~TJPEGImage() override;

  // LoadFromStream takes the stream from its position to its end; a file of
  // 0 bytes is an empty 0 x 0 picture. A header the library cannot read
  // raises EJPEG and leaves the picture empty. Width and Height are the
  // decoded bitmap's size once it exists, else the header's (scaled when the
  // scale setting is not full size). SetWidth and SetHeight are refused
  // (EInvalidGraphicOperation). Draw draws the decoded bitmap as a bitmap
  // picture is drawn, decoding first when needed, and nothing for an empty
  // picture.
  TGRAPHIC_OPERATIONS;

  // The decoded bitmap, decoding on first use. A failed decoding keeps the
  // bitmap made for it, with whatever rows it got, and is not repeated.
  TBitmap& DecodeToBitmap();

  const JpegSettings& Settings() const { return settings_; }
  const TJPEGData& Data() const { return *data_; }

private:
  TJPEGDataRef data_;
  std::unique_ptr<TBitmap> bitmap_;
  JpegSettings settings_;
};

// The defaults every new picture copies.
JpegSettings& JPEGDefaults();

// Program start: the pixel format default from the screen's bits per pixel
// (8-bit output with a palette at 8 or fewer), and the "jpeg" and "jpg"
// entries of the file format registry.
void InitializeJPEGImage();
