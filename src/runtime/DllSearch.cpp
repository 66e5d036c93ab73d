#include "runtime/DllSearch.h"

#include "runtime/ProcAddress.h"

#include <windows.h>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

void RestrictDllSearchToSystemFolder() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return;
  auto setDefault = PROC_ADDRESS(kernel, SetDefaultDllDirectories);
  if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  auto setDirectory = PROC_ADDRESS(kernel, SetDllDirectoryA);
  if (setDirectory) setDirectory("");
}
