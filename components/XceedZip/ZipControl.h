// The component object: an invisible control with the dual interface
// IXceedZip, the OLE interfaces a control container drives, and two
// connection points (property changes, events).
#pragma once

#include "ConnectionPoint.h"
#include "Fenced.h"
#include "Properties.h"
#include "runtime/Handles.h"
#include "zip/XceedZipContract.h"

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

class ZipControl final : public IXceedZip,
                   public IOleObject,
                   public IPersistStreamInit,
                   public IOleControl,
                   public IConnectionPointContainer {
public:
  ZipControl();
  ~ZipControl();
  ZipControl(const ZipControl&) = delete;
  ZipControl& operator=(const ZipControl&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID iid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argError) override;

  // IXceedZip
#define XZ_OVERRIDE_ACCESSORS(name, ctype, vt, dispid, init)                        \
  HRESULT STDMETHODCALLTYPE get_##name(ctype* value) override {                     \
    return Fenced([&] { return GetAs(Prop::name, value); });                        \
  }                                                                                 \
  HRESULT STDMETHODCALLTYPE put_##name(ctype value) override {                      \
    return Fenced([&] { return PutAs(Prop::name, value); });                        \
  }
  XZ_PROPERTIES(XZ_OVERRIDE_ACCESSORS)
#undef XZ_OVERRIDE_ACCESSORS
  HRESULT STDMETHODCALLTYPE AddFilesToExclude(BSTR mask) override;
  HRESULT STDMETHODCALLTYPE AddFilesToProcess(BSTR mask) override;
  HRESULT STDMETHODCALLTYPE ClearFilesToProcess() override;
  HRESULT STDMETHODCALLTYPE Zip(LONG* result) override;
  HRESULT STDMETHODCALLTYPE TestZipFile(LONG* result) override;
  HRESULT STDMETHODCALLTYPE ListZipContents() override;
  HRESULT STDMETHODCALLTYPE Unzip(LONG* result) override;

  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index,
                                   HWND parent, LPCRECT rect) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* name) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

  // IPersistStreamInit
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
  HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;

  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* msg) override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID dispid) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

private:
  HRESULT PutVariant(Prop prop, const VARIANT& value);
  HRESULT GetAs(Prop prop, VARIANT_BOOL* value);
  HRESULT GetAs(Prop prop, LONG* value);
  HRESULT GetAs(Prop prop, DATE* value);
  HRESULT GetAs(Prop prop, BSTR* value);
  HRESULT PutAs(Prop prop, VARIANT_BOOL value);
  HRESULT PutAs(Prop prop, LONG value);
  HRESULT PutAs(Prop prop, DATE value);
  HRESULT PutAs(Prop prop, BSTR value);
  void AppendMask(Prop list, BSTR mask);
  HRESULT RunExtraction(bool write, LONG* result);
  HRESULT InvokeMethod(DISPID dispid, DISPPARAMS* params, VARIANT* result, UINT* argError);

  LONG references_ = 1;
  PropertyValues properties_;
  ComPtr<IOleClientSite> clientSite_;
  SIZEL extent_ = {1000, 1000};
  ConnectionPoint propertyNotify_;
  ConnectionPoint events_;
};
