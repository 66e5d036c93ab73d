// Self-registration: the class id's in-process server entry.
//
//   <Classes>\CLSID\{class id}
//       (default)        "XceedZip Control"
//       InprocServer32
//           (default)      full path of this DLL
//           ThreadingModel "Apartment"
//
// <Classes> is the machine's classes, HKLM\Software\Classes, written there
// directly so that a class key of the user's own (which the merged
// HKEY_CLASSES_ROOT view would prefer) cannot divert the registration; when
// the machine's classes refuse it, the user's own (HKCU\Software\Classes).
#include "Fenced.h"
#include "Module.h"

#include "runtime/Handles.h"
#include "runtime/QueryPath.h"
#include "zip/XceedZipContract.h"

#include <olectl.h>

#include <string>

namespace {

const wchar_t kClasses[] = L"Software\\Classes";

// "CLSID\{...}", from the contract's class id.
std::wstring ClassKey() {
  wchar_t id[40] = {};
  StringFromGUID2(CLSID_XceedZip, id, 40);
  return std::wstring(L"CLSID\\") + id;
}

std::wstring ModulePath() {
  return QueryPath<std::wstring>([](DWORD size, wchar_t* buffer) {
    const DWORD n = GetModuleFileNameW(ModuleHandle(), buffer, size);
    return n < size ? n : size * 2;  // a cut path asks for a larger buffer
  });
}

LONG SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LONG WriteClass(HKEY classes, const std::wstring& path) {
  UniqueKey classKey;
  LONG status = RegCreateKeyExW(classes, ClassKey().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                classKey.put(), nullptr);
  if (status != ERROR_SUCCESS) return status;
  status = SetString(classKey.get(), nullptr, L"XceedZip Control");
  if (status != ERROR_SUCCESS) return status;
  UniqueKey server;
  status = RegCreateKeyExW(classKey.get(), L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr,
                           server.put(), nullptr);
  if (status != ERROR_SUCCESS) return status;
  status = SetString(server.get(), nullptr, path);
  if (status == ERROR_SUCCESS) status = SetString(server.get(), L"ThreadingModel", L"Apartment");
  return status;
}

LONG OpenClasses(HKEY root, UniqueKey& key, bool create) {
  return create ? RegCreateKeyExW(root, kClasses, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  key.put(), nullptr)
                : RegOpenKeyExW(root, kClasses, 0, KEY_ALL_ACCESS, key.put());
}

// A registry status as the HRESULT a caller can read.
HRESULT ResultOf(LONG status) { return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status); }

LONG DeleteClass(HKEY classes) {
  LONG status = RegDeleteTreeW(classes, ClassKey().c_str());
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

}  // namespace

STDAPI DllRegisterServer() {
  return Fenced([]() -> HRESULT {
    const std::wstring path = ModulePath();
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    UniqueKey classes;
    LONG status = OpenClasses(HKEY_LOCAL_MACHINE, classes, false);
    if (status == ERROR_SUCCESS) status = WriteClass(classes.get(), path);
    if (status == ERROR_ACCESS_DENIED) {
      status = OpenClasses(HKEY_CURRENT_USER, classes, true);
      if (status == ERROR_SUCCESS) status = WriteClass(classes.get(), path);
    }
    return ResultOf(status);
  });
}

STDAPI DllUnregisterServer() {
  return Fenced([] {
    UniqueKey classes;
    LONG status = OpenClasses(HKEY_LOCAL_MACHINE, classes, false);
    if (status == ERROR_SUCCESS) status = DeleteClass(classes.get());
    if (OpenClasses(HKEY_CURRENT_USER, classes, false) == ERROR_SUCCESS) {
      const LONG userStatus = DeleteClass(classes.get());
      if (status == ERROR_ACCESS_DENIED) status = userStatus;
    }
    return ResultOf(status);
  });
}
