// DLL entry points: DllMain, DllGetClassObject, DllCanUnloadNow, and the
// class factory of the component.
#include "Module.h"

#include "Fenced.h"
#include "runtime/Handles.h"
#include "zip/XceedZipContract.h"
#include "ZipControl.h"

namespace {

HMODULE g_module = nullptr;
LONG g_objects = 0;  // live component objects
LONG g_locks = 0;    // IClassFactory::LockServer(TRUE) calls not yet undone

class ClassFactory : public IClassFactory {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // The factory is a static object; references to it count as locks.
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&g_locks) + 1; }
  ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&g_locks) + 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return Fenced([&] {
      ComPtr<ZipControl> control(new ZipControl());  // the reference from construction
      return control->QueryInterface(iid, out);
    });
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      InterlockedIncrement(&g_locks);
    } else {
      InterlockedDecrement(&g_locks);
    }
    return S_OK;
  }
};

ClassFactory g_factory;

}  // namespace

HMODULE ModuleHandle() { return g_module; }
void ModuleObjectCreated() { InterlockedIncrement(&g_objects); }
void ModuleObjectDestroyed() { InterlockedDecrement(&g_objects); }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  // No DisableThreadLibraryCalls: the statically linked runtime cleans up
  // its thread data on thread notifications.
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  return Fenced([&]() -> HRESULT {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_XceedZip) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
  });
}

STDAPI DllCanUnloadNow() {
  return Fenced([] { return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE; });
}
