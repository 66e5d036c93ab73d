#include "app/HandOffStop.h"

#include "runtime/Application.h"
#include "runtime/Cursor.h"
#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"

#include <windows.h>

void StopSetup(const std::string& text) {
  Application->ShowMessageBox(text.c_str(), msg::ErrorCaption, MB_OK);
  SetScreenCursor(crDefault);
  throw EAbort(text);
}
