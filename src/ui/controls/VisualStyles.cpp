#include "ui/controls/VisualStyles.h"

#include "runtime/ProcAddress.h"

#include <windows.h>
#include <uxtheme.h>

bool VisualStylesActive() {
  HMODULE theme = GetModuleHandleA("uxtheme.dll");
  if (!theme) theme = LoadLibraryA("uxtheme.dll");  // stays loaded, as the controls use it
  if (!theme) return false;
  auto isAppThemed = PROC_ADDRESS(theme, IsAppThemed);
  auto isThemeActive = PROC_ADDRESS(theme, IsThemeActive);
  return isAppThemed && isThemeActive && isAppThemed() && isThemeActive();
}
