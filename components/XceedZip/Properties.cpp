#include "Properties.h"

#include <oleauto.h>

namespace {

const PropertyInfo kProperties[] = {
#define XZ_INFO(name, ctype, vt, dispid, init) {L## #name, dispid, vt, init},
    XZ_PROPERTIES(XZ_INFO)
#undef XZ_INFO
};
static_assert(sizeof kProperties / sizeof kProperties[0] == 46, "the component has 46 properties");

UniqueVariant& Slot(std::array<UniqueVariant, kPropertyCount>& values, Prop prop) {
  return values[static_cast<int>(prop)];
}

}  // namespace

const PropertyInfo& PropertyInfoOf(Prop prop) { return kProperties[static_cast<int>(prop)]; }

bool FindPropertyById(DISPID dispid, Prop* prop) {
  for (int i = 0; i < kPropertyCount; ++i) {
    if (kProperties[i].dispid == dispid) {
      *prop = static_cast<Prop>(i);
      return true;
    }
  }
  return false;
}

bool FindPropertyByName(const wchar_t* name, Prop* prop) {
  for (int i = 0; i < kPropertyCount; ++i) {
    if (lstrcmpiW(kProperties[i].name, name) == 0) {
      *prop = static_cast<Prop>(i);
      return true;
    }
  }
  return false;
}

PropertyValues::PropertyValues() {
  for (int i = 0; i < kPropertyCount; ++i) {
    VARIANT& v = *values_[i].get();
    v.vt = kProperties[i].type;
    switch (v.vt) {
      case VT_BSTR: v.bstrVal = SysAllocString(L""); break;
      case VT_BOOL: v.boolVal = kProperties[i].initial ? VARIANT_TRUE : VARIANT_FALSE; break;
      case VT_DATE: v.date = kProperties[i].initial; break;
      default: v.lVal = kProperties[i].initial; break;
    }
  }
}

PropertyValues::~PropertyValues() = default;

HRESULT PropertyValues::Put(Prop prop, const VARIANT& value) {
  VARTYPE type = PropertyInfoOf(prop).type;
  UniqueVariant converted;
  HRESULT hr;
  if (type == VT_BSTR && (value.vt == VT_EMPTY || value.vt == VT_NULL ||
                          (value.vt == VT_BSTR && value.bstrVal == nullptr))) {
    converted->vt = VT_BSTR;
    converted->bstrVal = SysAllocString(L"");
    hr = converted->bstrVal ? S_OK : E_OUTOFMEMORY;
  } else {
    hr = VariantChangeType(converted.get(), const_cast<VARIANT*>(&value), 0, type);
    if (FAILED(hr)) hr = hr == E_OUTOFMEMORY ? hr : DISP_E_TYPEMISMATCH;
    if (SUCCEEDED(hr) && type == VT_BSTR && converted->bstrVal == nullptr) {
      converted->bstrVal = SysAllocString(L"");
    }
  }
  if (FAILED(hr)) return hr;
  *Slot(values_, prop).put() = converted.release();
  return S_OK;
}

HRESULT PropertyValues::Get(Prop prop, VARIANT* value) const {
  VariantInit(value);
  return VariantCopy(value, const_cast<VARIANT*>(values_[static_cast<int>(prop)].get()));
}

std::wstring PropertyValues::String(Prop prop) const {
  const VARIANT& v = *values_[static_cast<int>(prop)].get();
  return v.bstrVal ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring();
}

bool PropertyValues::Bool(Prop prop) const {
  return values_[static_cast<int>(prop)].get()->boolVal != VARIANT_FALSE;
}

void PropertyValues::SetString(Prop prop, const std::wstring& value) {
  UniqueVariant v;
  v->vt = VT_BSTR;
  v->bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
  if (v->bstrVal) Put(prop, *v.get());
}
