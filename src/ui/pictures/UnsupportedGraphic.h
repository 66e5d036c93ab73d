// Picture kinds that have a registry entry but are never loaded by this
// program: icons and OLE pictures. Loading one is refused.
#pragma once

#include "ui/pictures/Graphic.h"

class TUnsupportedGraphic : public TGraphic {
public:
  void LoadFromStream(TStream& stream) override;
  int Width() override { return 0; }
  int Height() override { return 0; }
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  bool Empty() override { return true; }
  void Draw(HDC, const RECT&) override {}
};

class TIcon : public TUnsupportedGraphic {};
class TOleGraphic : public TUnsupportedGraphic {};
