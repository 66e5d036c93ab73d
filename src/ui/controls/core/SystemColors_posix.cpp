#include "ui/controls/core/Colors.h"

// The classic scheme, so the native build has stable values.
uint32_t PlatformSystemColor(int index) {
  switch (index) {
    case kColorWindowText: return 0x000000;
    case kColorBtnFace: return 0xC0C0C0;
    case kColorBtnShadow: return 0x808080;
    case kColorBtnHighlight: return 0xFFFFFF;
    default: return 0x000000;
  }
}
