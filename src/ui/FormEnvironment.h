// What the program's two windows ask of the platform while they come up:
// the text height of their form font, which decides their scaling, and the
// layered-window operation of the splash picture's colour key. A window
// takes one at construction and keeps nothing of it; the program passes the
// platform's answers, a test may give its own.
#pragma once

#include "ui/controls/Font.h"

#include <windows.h>

using SetLayeredWindowAttributesProc = decltype(&::SetLayeredWindowAttributes);

class TFormEnvironment {
public:
  virtual ~TFormEnvironment() = default;

  // The height of the text "0" in the font on the screen.
  virtual int TextHeight(const TFontRequest& font) const;

  // SetLayeredWindowAttributes, looked up by name in "User32.dll" once;
  // nullptr where the platform lacks it.
  virtual SetLayeredWindowAttributesProc LayeredWindowAttributes() const;
};

// The platform's answers.
const TFormEnvironment& PlatformEnvironment();
