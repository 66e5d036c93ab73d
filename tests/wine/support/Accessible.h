// What a screen reader reads of a window through its accessible object:
// texts as returned ("(failed)" when the call failed, "(none)" for none),
// roles and states (-1 when they could not be read).
#pragma once

#include "app/ProgressAccessible.h"
#include "runtime/Handles.h"

#include <oleacc.h>

#include <string>

namespace setup_test {

inline VARIANT Child(LONG id) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

inline std::wstring TextOf(HRESULT result, const UniqueBstr& text) {
  if (FAILED(result)) return L"(failed)";
  return text ? std::wstring(text.get(), SysStringLen(text.get())) : L"(none)";
}
inline std::wstring Name(IAccessible* object, LONG id) {
  UniqueBstr text;
  return TextOf(object->get_accName(Child(id), text.put()), text);
}
inline std::wstring Description(IAccessible* object) {
  UniqueBstr text;
  return TextOf(object->get_accDescription(Child(CHILDID_SELF), text.put()), text);
}
inline std::wstring Value(IAccessible* object, LONG id) {
  UniqueBstr text;
  return TextOf(object->get_accValue(Child(id), text.put()), text);
}
inline LONG RoleOf(IAccessible* object, LONG id) {
  VARIANT role;
  return SUCCEEDED(object->get_accRole(Child(id), &role)) && role.vt == VT_I4 ? role.lVal : -1;
}
inline LONG StateOf(IAccessible* object, LONG id) {
  VARIANT state;
  return SUCCEEDED(object->get_accState(Child(id), &state)) && state.vt == VT_I4 ? state.lVal : -1;
}

inline ComPtr<IAccessible> ClientObject(HWND window) {
  ComPtr<IAccessible> object;
  AccessibleObjectFromWindow(window, OBJID_CLIENT, kIidAccessible, object.put_void());
  return object;
}

}  // namespace setup_test
