#include "ui/controls/VisualStyles.h"

#include <windows.h>

bool VisualStylesActive() {
  HMODULE theme = GetModuleHandleA("uxtheme.dll");
  if (!theme) theme = LoadLibraryA("uxtheme.dll");  // stays loaded, as the controls use it
  if (!theme) return false;
  using BoolFn = BOOL(WINAPI*)();
  auto isAppThemed = reinterpret_cast<BoolFn>(GetProcAddress(theme, "IsAppThemed"));
  auto isThemeActive = reinterpret_cast<BoolFn>(GetProcAddress(theme, "IsThemeActive"));
  return isAppThemed && isThemeActive && isAppThemed() && isThemeActive();
}
