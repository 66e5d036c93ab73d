// COM at the program's edge: a failed result turned into the program's
// failure, and texts to and from BSTR.
#pragma once

#include "runtime/Handles.h"

#include <windows.h>

#include <string>

// A BSTR from 8-bit text in the ANSI code page; null for the empty text.
UniqueBstr BstrFromAnsi(const std::string& text);
// The text of a BSTR in the ANSI code page; null is the empty text.
std::string AnsiFromBstr(BSTR text);

// Raises EOleSysError for a failed result; gives the result back otherwise.
HRESULT OleCheck(HRESULT result);

// EOleSysError: the system's text for the code, trimmed, else "OLE-Fehler %.8x".
[[noreturn]] void RaiseOleSysError(HRESULT result);

// EOleException: the component's description, trimmed, with the same fallbacks.
[[noreturn]] void RaiseOleException(HRESULT result, const std::string& description);

// For a failed method call: the description the component left in the
// thread's error information, if any.
[[noreturn]] void RaiseOleMethodFailure(HRESULT result);
