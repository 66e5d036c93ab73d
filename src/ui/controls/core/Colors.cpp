#include "ui/controls/core/Colors.h"

#ifdef _WIN32
#include <windows.h>
#endif

uint32_t PlatformSystemColor(int index) {
#ifdef _WIN32
  return static_cast<uint32_t>(GetSysColor(index));
#else
  // The classic scheme, so the native build has stable values.
  switch (index) {
    case kColorWindowText: return 0x000000;
    case kColorBtnFace: return 0xC0C0C0;
    case kColorBtnShadow: return 0x808080;
    case kColorBtnHighlight: return 0xFFFFFF;
    default: return 0x000000;
  }
#endif
}

uint32_t ColorToRGB(TColor color, SystemColorResolver resolver) {
  if (color & kSystemColorFlag) {
    return (resolver ? resolver : PlatformSystemColor)(static_cast<int>(color & 0xFF)) & 0xFFFFFF;
  }
  return color & 0xFFFFFF;
}
