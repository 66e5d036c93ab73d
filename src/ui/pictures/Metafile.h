// Metafile pictures: enhanced metafiles and placeable Windows metafiles,
// told apart by their content. Metafile pictures are always transparent:
// they draw only what their records draw.
#pragma once

#include "runtime/Handles.h"
#include "ui/pictures/Graphic.h"

#include <cstdint>

class TMetafile : public TGraphic {
public:
  TMetafile();
  ~TMetafile() override;

  TGRAPHIC_OPERATIONS;
  void SetTransparent(bool) override {}

  HENHMETAFILE Handle() const { return handle_.get(); }
  bool Enhanced() const { return enhanced_; }
  int MMWidth() const { return frameWidth_; }    // hundredths of a millimetre
  int MMHeight() const { return frameHeight_; }
  int Inch() const { return unitsPerInch_; }
  // A palette of the metafile's palette entries, made at first use;
  // nullptr when it carries none.
  HPALETTE Palette();

private:

  UniqueEnhMetaFile handle_;
  UniquePalette palette_;
  bool paletteSettled_ = false;
  bool enhanced_ = false;
  int frameWidth_ = 0;
  int frameHeight_ = 0;
  uint16_t unitsPerInch_ = 0;
};

// LOGPIXELSY of the screen, read once: the resolution metafiles with units
// per inch are sized by.
int MetafileScreenResolution();
