#include "ui/FormEnvironment.h"

#include "runtime/ProcAddress.h"

namespace {

SetLayeredWindowAttributesProc LookUpLayeredWindowAttributes() {
  HMODULE user32 = GetModuleHandleA("User32.dll");
  if (!user32) return nullptr;
  return PROC_ADDRESS(user32, SetLayeredWindowAttributes);
}

}  // namespace

int TFormEnvironment::TextHeight(const TFontRequest& font) const { return MeasureTextHeight(font); }

SetLayeredWindowAttributesProc TFormEnvironment::LayeredWindowAttributes() const {
  static const SetLayeredWindowAttributesProc lookedUp = LookUpLayeredWindowAttributes();
  return lookedUp;
}

const TFormEnvironment& PlatformEnvironment() {
  static const TFormEnvironment platform;
  return platform;
}
