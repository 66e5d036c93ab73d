#include "ui/controls/core/Colors.h"

uint32_t ColorToRGB(TColor color, SystemColorResolver resolver) {
  if (color & kSystemColorFlag) {
    return (resolver ? resolver : PlatformSystemColor)(static_cast<int>(color & 0xFF)) & 0xFFFFFF;
  }
  return color & 0xFFFFFF;
}
