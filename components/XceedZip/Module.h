// The DLL's module state: its instance handle and the counts that tell
// DllCanUnloadNow whether anything still uses it.
#pragma once

#include <windows.h>

HMODULE ModuleHandle();
void ModuleObjectCreated();
void ModuleObjectDestroyed();
