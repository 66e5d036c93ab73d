// Turning a failed COM result into the program's failure.
#pragma once

#include <windows.h>

#include <string>

// Raises EOleSysError for a failed result; gives the result back otherwise.
HRESULT OleCheck(HRESULT result);

// EOleSysError: the system's text for the code, trimmed, else "OLE-Fehler %.8x".
[[noreturn]] void RaiseOleSysError(HRESULT result);

// EOleException: the component's description, trimmed, with the same fallbacks.
[[noreturn]] void RaiseOleException(HRESULT result, const std::string& description);

// For a failed method call: the description the component left in the
// thread's error information, if any.
[[noreturn]] void RaiseOleMethodFailure(HRESULT result);
