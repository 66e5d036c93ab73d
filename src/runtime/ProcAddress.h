// Looking up a function in a loaded library with the type of its
// declaration: PROC_ADDRESS(module, SetDllDirectoryA) gives a pointer typed
// from the header that declares SetDllDirectoryA, calling convention
// included, so a lookup can never be called with another convention or other
// arguments (on i686 a mismatch does not compile). Null when the library has
// no such export.
#pragma once

#include <windows.h>

#include <type_traits>

template <typename Function>
Function* ProcAddressAs(HMODULE module, const char* name) {
  static_assert(std::is_function_v<Function>, "a function type, as decltype(::Name) gives");
  if (!module) return nullptr;
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

#define PROC_ADDRESS(module, function) ProcAddressAs<decltype(::function)>((module), #function)
