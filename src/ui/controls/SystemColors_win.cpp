#include "ui/controls/core/Colors.h"

#include <windows.h>

uint32_t PlatformSystemColor(int index) { return static_cast<uint32_t>(GetSysColor(index)); }
