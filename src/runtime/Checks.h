// Turning a failed platform call into the program's failure, at the one line
// where it happens.
#pragma once

#include <windows.h>

#include <string>

// The system's message text for an error code (FormatMessageA), untrimmed.
std::string SysErrorMessage(DWORD code);

// Raises EOSError "Systemfehler.  Code: %d.\r\n%s" for the thread's last error.
[[noreturn]] void RaiseLastOSError();
