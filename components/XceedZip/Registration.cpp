// Self-registration: the class id's in-process server entry.
//
//   <Classes>\CLSID\{DB797690-40E0-11D2-9BD5-0060082AE372}
//       (default)        "XceedZip Control"
//       InprocServer32
//           (default)      full path of this DLL
//           ThreadingModel "Apartment"
//
// <Classes> is HKEY_CLASSES_ROOT (the machine's classes); when that is
// refused, the user's own classes (HKCU\Software\Classes).
#include "Fenced.h"
#include "Module.h"

#include "runtime/Handles.h"

#include <olectl.h>

#include <string>

namespace {

const wchar_t kClassKey[] = L"CLSID\\{DB797690-40E0-11D2-9BD5-0060082AE372}";
const wchar_t kUserClasses[] = L"Software\\Classes";

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(ModuleHandle(), &path[0], static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

LONG SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LONG WriteClass(HKEY classes, const std::wstring& path) {
  UniqueKey classKey;
  LONG status = RegCreateKeyExW(classes, kClassKey, 0, nullptr, 0, KEY_WRITE, nullptr,
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

LONG OpenUserClasses(UniqueKey& key, bool create) {
  return create ? RegCreateKeyExW(HKEY_CURRENT_USER, kUserClasses, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key.put(), nullptr)
                : RegOpenKeyExW(HKEY_CURRENT_USER, kUserClasses, 0, KEY_ALL_ACCESS, key.put());
}

LONG DeleteClass(HKEY classes) {
  LONG status = RegDeleteTreeW(classes, kClassKey);
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

}  // namespace

STDAPI DllRegisterServer() {
  return Fenced([]() -> HRESULT {
    std::wstring path = ModulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    LONG status = WriteClass(HKEY_CLASSES_ROOT, path);
    if (status == ERROR_ACCESS_DENIED) {
      UniqueKey user;
      status = OpenUserClasses(user, true);
      if (status == ERROR_SUCCESS) status = WriteClass(user.get(), path);
    }
    return status == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
  });
}

STDAPI DllUnregisterServer() {
  return Fenced([] {
    LONG status = DeleteClass(HKEY_CLASSES_ROOT);
    UniqueKey user;
    if (OpenUserClasses(user, false) == ERROR_SUCCESS) {
      LONG userStatus = DeleteClass(user.get());
      if (status == ERROR_ACCESS_DENIED) status = userStatus;
    }
    return status == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
  });
}
