// A planted fault for the image checks: the component's exports as a build
// without the module definition file and --kill-at would give them (stdcall
// names decorated with @n on i686), and one with C++ linkage, mangled on
// every target. The export check must refuse this DLL.
extern "C" __declspec(dllexport) long __stdcall DllRegisterServer() { return 0; }
extern "C" __declspec(dllexport) long __stdcall DllUnregisterServer() { return 0; }
extern "C" __declspec(dllexport) long __stdcall DllCanUnloadNow() { return 0; }
__declspec(dllexport) long __stdcall DllGetClassObject(const void*, const void*, void** out) {
  *out = nullptr;
  return 0;
}
