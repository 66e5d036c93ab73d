// The 46 properties of the component: their table (name, dispatch id, type)
// and the values one instance keeps.
#pragma once

#include "runtime/Handles.h"
#include "zip/XceedZipContract.h"

#include <array>
#include <string>

enum class Prop : int {
#define XZ_ENUM(name, ctype, vt, dispid, init) name,
  XZ_PROPERTIES(XZ_ENUM)
#undef XZ_ENUM
};
inline constexpr int kPropertyCount = 0
#define XZ_COUNT(name, ctype, vt, dispid, init) +1
    XZ_PROPERTIES(XZ_COUNT)
#undef XZ_COUNT
    ;

struct PropertyInfo {
  const wchar_t* name;
  DISPID dispid;
  VARTYPE type;
  LONG initial;  // numbers and booleans; strings start empty
};

const PropertyInfo& PropertyInfoOf(Prop prop);
// The property with this dispatch id or name (case-insensitive); false if none.
bool FindPropertyById(DISPID dispid, Prop* prop);
bool FindPropertyByName(const wchar_t* name, Prop* prop);

// The values of one instance, each held as a variant of the property's type.
// A string is never a null BSTR: null puts are kept as "".
class PropertyValues {
public:
  PropertyValues();
  ~PropertyValues();
  PropertyValues(const PropertyValues&) = delete;
  PropertyValues& operator=(const PropertyValues&) = delete;

  // Converts the value to the property's type; DISP_E_TYPEMISMATCH if it cannot.
  HRESULT Put(Prop prop, const VARIANT& value);
  // A copy of the value, for the caller to clear.
  HRESULT Get(Prop prop, VARIANT* value) const;

  std::wstring String(Prop prop) const;
  bool Bool(Prop prop) const;
  void SetString(Prop prop, const std::wstring& value);

private:
  std::array<UniqueVariant, kPropertyCount> values_;
};
