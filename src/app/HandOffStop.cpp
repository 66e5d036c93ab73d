#include "app/HandOffStop.h"

#include "runtime/Application.h"
#include "runtime/Cursor.h"
#include "runtime/Failures.h"
#include "runtime/Messages.h"

#include <windows.h>

void StopSetup(const std::string& text) {
  Application->ShowMessageBox(text.c_str(), msg::ErrorCaption, MB_OK);
  SetScreenCursor(crDefault);
  throw EAbort(text);
}
