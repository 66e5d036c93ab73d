#include "ZipControl.h"

#include "Extractor.h"
#include "Module.h"
#include "zip/core/XceedZipResults.h"
#include "core/Wildcard.h"

namespace {

struct MethodName {
  const wchar_t* name;
  DISPID dispid;
};
const MethodName kMethods[] = {
    {L"AddFilesToExclude", kDispAddFilesToExclude},
    {L"AddFilesToProcess", kDispAddFilesToProcess},
    {L"ClearFilesToProcess", kDispClearFilesToProcess},
    {L"Zip", kDispZip},
    {L"TestZipFile", kDispTestZipFile},
    {L"ListZipContents", kDispListZipContents},
    {L"Unzip", kDispUnzip},
};

std::wstring FromBstr(BSTR text) {
  return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

// Argument `index` counted from the first one the caller wrote (the array
// holds them in reverse).
VARIANT* Argument(DISPPARAMS* params, UINT index) {
  if (!params || index >= params->cArgs) return nullptr;
  return &params->rgvarg[params->cArgs - 1 - index];
}

}  // namespace

ZipControl::ZipControl()
    : propertyNotify_(this, IID_IPropertyNotifySink), events_(this, DIID_IXceedZipEvents) {
  ModuleObjectCreated();
}

ZipControl::~ZipControl() { ModuleObjectDestroyed(); }

// ---------------------------------------------------------------------------
// IUnknown

HRESULT ZipControl::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IXceedZip) {
    *out = static_cast<IXceedZip*>(this);
  } else if (iid == IID_IOleObject) {
    *out = static_cast<IOleObject*>(this);
  } else if (iid == IID_IPersistStreamInit || iid == IID_IPersist) {
    *out = static_cast<IPersistStreamInit*>(this);
  } else if (iid == IID_IOleControl) {
    *out = static_cast<IOleControl*>(this);
  } else if (iid == IID_IConnectionPointContainer) {
    *out = static_cast<IConnectionPointContainer*>(this);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG ZipControl::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG ZipControl::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

// ---------------------------------------------------------------------------
// IDispatch: no type library; names and ids come from the property table.

HRESULT ZipControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT ZipControl::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT ZipControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  return Fenced([&]() -> HRESULT {
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (count == 0) return S_OK;
    Prop prop;
    if (FindPropertyByName(names[0], &prop)) {
      ids[0] = PropertyInfoOf(prop).dispid;
    } else {
      for (const MethodName& method : kMethods) {
        if (lstrcmpiW(method.name, names[0]) == 0) ids[0] = method.dispid;
      }
    }
    return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
  });
}

HRESULT ZipControl::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO*, UINT* argError) {
  return Fenced([&]() -> HRESULT {
    Prop prop;
    if (!FindPropertyById(dispid, &prop)) return InvokeMethod(dispid, params, result, argError);
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      // The value is the argument named DISPID_PROPERTYPUT, the only one.
      if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
      if (params->cNamedArgs > 1 ||
          (params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)) {
        return DISP_E_PARAMNOTFOUND;
      }
      UniqueVariant value;
      HRESULT hr = VariantCopyInd(value.get(), &params->rgvarg[0]);
      if (SUCCEEDED(hr)) hr = PutVariant(prop, *value.get());
      if (hr == DISP_E_TYPEMISMATCH && argError) *argError = 0;
      return hr;
    }
    if (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) {
      if (params && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
      if (!result) return S_OK;
      VariantClear(result);
      return properties_.Get(prop, result);
    }
    return DISP_E_MEMBERNOTFOUND;
  });
}

HRESULT ZipControl::InvokeMethod(DISPID dispid, DISPPARAMS* params, VARIANT* result,
                                 UINT* argError) {
  UINT argCount = params ? params->cArgs : 0;
  auto stringArgument = [&](UniqueBstr& text) -> HRESULT {
    if (argCount != 1) return DISP_E_BADPARAMCOUNT;
    VARIANT converted;
    VariantInit(&converted);
    HRESULT hr = VariantChangeType(&converted, Argument(params, 0), 0, VT_BSTR);
    if (FAILED(hr)) {
      if (argError) *argError = 0;
      return DISP_E_TYPEMISMATCH;
    }
    text.reset(converted.bstrVal);
    return S_OK;
  };
  auto giveResult = [&](HRESULT hr, LONG code) {
    if (SUCCEEDED(hr) && result) {
      VariantClear(result);
      result->vt = VT_I4;
      result->lVal = code;
    }
    return hr;
  };

  switch (dispid) {
    case kDispAddFilesToExclude:
    case kDispAddFilesToProcess: {
      UniqueBstr mask;
      HRESULT hr = stringArgument(mask);
      if (FAILED(hr)) return hr;
      return dispid == kDispAddFilesToProcess ? AddFilesToProcess(mask.get())
                                              : AddFilesToExclude(mask.get());
    }
    case kDispClearFilesToProcess:
      return argCount == 0 ? ClearFilesToProcess() : DISP_E_BADPARAMCOUNT;
    case kDispListZipContents:
      return argCount == 0 ? ListZipContents() : DISP_E_BADPARAMCOUNT;
    case kDispZip:
    case kDispTestZipFile:
    case kDispUnzip: {
      if (argCount != 0) return DISP_E_BADPARAMCOUNT;
      LONG code = 0;
      HRESULT hr = dispid == kDispUnzip ? Unzip(&code)
                   : dispid == kDispTestZipFile ? TestZipFile(&code) : Zip(&code);
      return giveResult(hr, code);
    }
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

// ---------------------------------------------------------------------------
// IXceedZip

HRESULT ZipControl::PutVariant(Prop prop, const VARIANT& value) {
  return properties_.Put(prop, value);
}

HRESULT ZipControl::GetAs(Prop prop, VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  *value = properties_.Bool(prop) ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT ZipControl::GetAs(Prop prop, LONG* value) {
  if (!value) return E_POINTER;
  UniqueVariant v;
  HRESULT hr = properties_.Get(prop, v.put());
  *value = SUCCEEDED(hr) ? v->lVal : 0;
  return hr;
}

HRESULT ZipControl::GetAs(Prop prop, DATE* value) {
  if (!value) return E_POINTER;
  UniqueVariant v;
  HRESULT hr = properties_.Get(prop, v.put());
  *value = SUCCEEDED(hr) ? v->date : 0;
  return hr;
}

HRESULT ZipControl::GetAs(Prop prop, BSTR* value) {
  if (!value) return E_POINTER;
  std::wstring text = properties_.String(prop);
  *value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *value ? S_OK : E_OUTOFMEMORY;
}

namespace {

// A VARIANT of the type with its value still to be set; it holds nothing to
// clear (the values put below are plain or borrowed).
VARIANT OfType(VARTYPE type) {
  VARIANT v;
  VariantInit(&v);
  v.vt = type;
  return v;
}

}  // namespace

HRESULT ZipControl::PutAs(Prop prop, VARIANT_BOOL value) {
  VARIANT v = OfType(VT_BOOL);
  v.boolVal = value;
  return PutVariant(prop, v);
}

HRESULT ZipControl::PutAs(Prop prop, LONG value) {
  VARIANT v = OfType(VT_I4);
  v.lVal = value;
  return PutVariant(prop, v);
}

HRESULT ZipControl::PutAs(Prop prop, DATE value) {
  VARIANT v = OfType(VT_DATE);
  v.date = value;
  return PutVariant(prop, v);
}

HRESULT ZipControl::PutAs(Prop prop, BSTR value) {
  VARIANT v = OfType(VT_BSTR);
  v.bstrVal = value;  // borrowed: not cleared here
  return PutVariant(prop, v);
}

// The mask lists are the properties FilesToProcess and FilesToExclude: masks
// joined by '|'. Added masks stay in force across unzips until the list is
// put anew or cleared.
void ZipControl::AppendMask(Prop list, BSTR mask) {
  std::wstring masks = properties_.String(list);
  std::wstring added = FromBstr(mask);
  if (added.empty()) return;
  if (!masks.empty()) masks += L'|';
  masks += added;
  properties_.SetString(list, masks);
}

HRESULT ZipControl::AddFilesToExclude(BSTR mask) {
  return Fenced([&] {
    AppendMask(Prop::FilesToExclude, mask);
    return S_OK;
  });
}

HRESULT ZipControl::AddFilesToProcess(BSTR mask) {
  return Fenced([&] {
    AppendMask(Prop::FilesToProcess, mask);
    return S_OK;
  });
}

HRESULT ZipControl::ClearFilesToProcess() {
  return Fenced([&] {
    properties_.SetString(Prop::FilesToProcess, std::wstring());
    properties_.SetString(Prop::FilesToExclude, std::wstring());
    return S_OK;
  });
}

HRESULT ZipControl::Zip(LONG* result) {
  if (result) *result = kResultUnsupported;
  return E_NOTIMPL;
}

HRESULT ZipControl::TestZipFile(LONG* result) { return RunExtraction(false, result); }

HRESULT ZipControl::ListZipContents() { return E_NOTIMPL; }

HRESULT ZipControl::Unzip(LONG* result) { return RunExtraction(true, result); }

HRESULT ZipControl::RunExtraction(bool write, LONG* result) {
  if (!result) return E_POINTER;
  return Fenced([&] {
    UnzipSettings settings;
    settings.zipFilename = properties_.String(Prop::ZipFilename);
    settings.unzipToFolder = properties_.String(Prop::UnzipToFolder);
    settings.password = properties_.String(Prop::EncryptionPassword);
    settings.masks = SplitMaskList(properties_.String(Prop::FilesToProcess));
    settings.excludes = SplitMaskList(properties_.String(Prop::FilesToExclude));
    settings.preservePaths = properties_.Bool(Prop::PreservePaths);
    settings.skipIfExisting = properties_.Bool(Prop::SkipIfExisting);
    settings.zipOpenedFiles = properties_.Bool(Prop::ZipOpenedFiles);
    *result = write ? UnzipArchive(settings) : TestArchive(settings);
    return S_OK;
  });
}

// ---------------------------------------------------------------------------
// IOleObject: an invisible control without verbs, monikers or data.

HRESULT ZipControl::SetClientSite(IOleClientSite* site) {
  clientSite_ = ComPtr<IOleClientSite>::Share(site);
  return S_OK;
}

HRESULT ZipControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  clientSite_.CopyTo(site);
  return S_OK;
}

HRESULT ZipControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }
HRESULT ZipControl::Close(DWORD) { return S_OK; }
HRESULT ZipControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT ZipControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT ZipControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT ZipControl::GetClipboardData(DWORD, IDataObject** data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

HRESULT ZipControl::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
    case OLEIVERB_HIDE:
      return S_OK;  // nothing to show
    default:
      return OLEOBJ_S_INVALIDVERB;
  }
}

HRESULT ZipControl::EnumVerbs(IEnumOLEVERB** verbs) {
  if (verbs) *verbs = nullptr;
  return OLEOBJ_E_NOVERBS;
}

HRESULT ZipControl::Update() { return S_OK; }
HRESULT ZipControl::IsUpToDate() { return S_OK; }

HRESULT ZipControl::GetUserClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_XceedZip;
  return S_OK;
}

HRESULT ZipControl::GetUserType(DWORD, LPOLESTR* name) {
  if (name) *name = nullptr;
  return OLE_S_USEREG;
}

HRESULT ZipControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  extent_ = *size;
  return S_OK;
}

HRESULT ZipControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

HRESULT ZipControl::Advise(IAdviseSink*, DWORD* connection) {
  if (connection) *connection = 0;
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT ZipControl::Unadvise(DWORD) { return OLE_E_NOCONNECTION; }

HRESULT ZipControl::EnumAdvise(IEnumSTATDATA** advise) {
  if (advise) *advise = nullptr;
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT ZipControl::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INVISIBLEATRUNTIME | OLEMISC_INSIDEOUT |
            OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_CANTLINKINSIDE;
  return S_OK;
}

HRESULT ZipControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// ---------------------------------------------------------------------------
// IPersistStreamInit: a new object starts with the default properties;
// nothing is stored.

HRESULT ZipControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_XceedZip;
  return S_OK;
}

HRESULT ZipControl::IsDirty() { return S_FALSE; }
HRESULT ZipControl::Load(LPSTREAM) { return E_NOTIMPL; }
HRESULT ZipControl::Save(LPSTREAM, BOOL) { return E_NOTIMPL; }

HRESULT ZipControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 0;
  return S_OK;
}

HRESULT ZipControl::InitNew() { return S_OK; }

// ---------------------------------------------------------------------------
// IOleControl: no mnemonics, ambient properties do not matter.

HRESULT ZipControl::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

HRESULT ZipControl::OnMnemonic(MSG*) { return E_NOTIMPL; }
HRESULT ZipControl::OnAmbientPropertyChange(DISPID) { return S_OK; }
HRESULT ZipControl::FreezeEvents(BOOL) { return S_OK; }

// ---------------------------------------------------------------------------
// IConnectionPointContainer

HRESULT ZipControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT ZipControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  if (iid == IID_IPropertyNotifySink) {
    *point = &propertyNotify_;
  } else if (iid == DIID_IXceedZipEvents) {
    *point = &events_;
  } else {
    *point = nullptr;
    return CONNECT_E_NOCONNECTION;
  }
  (*point)->AddRef();
  return S_OK;
}
