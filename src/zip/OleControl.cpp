#include "zip/OleControl.h"

#include "runtime/core/CodePage.h"
#include "runtime/OleCheck.h"

#include <olectl.h>

// The IDispatch of the program's own sink objects: no type information and
// no names; every call of Invoke is answered with invokeResult.
template <HRESULT invokeResult>
class DispatchWithoutTypeInfo : public IDispatch {
public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return invokeResult;
  }
};

// The client site the control talks back to: it answers the client site
// calls, hears property changes, and has no ambient properties of its own.
class TOleControl::Site final : public IOleClientSite,
                                public IPropertyNotifySink,
                                public DispatchWithoutTypeInfo<DISP_E_MEMBERNOTFOUND> {  // no ambient properties
public:
  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
      *out = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IPropertyNotifySink))
      *out = static_cast<IPropertyNotifySink*>(this);
    else if (IsEqualIID(iid, IID_IDispatch))
      *out = static_cast<IDispatch*>(this);
    else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IPropertyNotifySink
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }


private:
  ULONG references_ = 1;
};

// The sink of the control's events: each is answered with success and
// otherwise ignored.
class TOleControl::EventSink final : public DispatchWithoutTypeInfo<S_OK> {
public:
  explicit EventSink(const IID& eventsId) : eventsId_(eventsId) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, eventsId_)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

private:
  IID eventsId_;
  ULONG references_ = 1;
};

TOleControl::TOleControl(const CLSID& classId, const IID& eventsId)
    : eventsId_(eventsId), site_(new Site()), events_(new EventSink(eventsId)) {
  OleCheck(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                            IID_IOleObject, oleObject_.put_void()));
  DWORD status = 0;
  oleObject_->GetMiscStatus(DVASPECT_CONTENT, &status);
  if (status & OLEMISC_SETCLIENTSITEFIRST) {
    OleCheck(oleObject_->SetClientSite(site_.get()));
    clientSiteSet_ = true;
  }
  oleObject_->QueryInterface(IID_IPersistStreamInit, persistStream_.put_void());
}

TOleControl::~TOleControl() {
  if (oleObject_) oleObject_->Close(OLECLOSE_NOSAVE);
  if (propertyPoint_) propertyPoint_->Unadvise(propertyCookie_);
  if (eventPoint_) eventPoint_->Unadvise(eventCookie_);
  if (oleObject_ && clientSiteSet_) oleObject_->SetClientSite(nullptr);
  // The interfaces go in the reverse order of their fields: the control's
  // first, then the sinks, the site last.
}

void TOleControl::CreateControl() {
  if (controlCreated_) return;
  if (!clientSiteSet_) {
    OleCheck(oleObject_->SetClientSite(site_.get()));
    clientSiteSet_ = true;
  }
  if (persistStream_) OleCheck(persistStream_->InitNew());
  OleCheck(oleObject_->QueryInterface(IID_IOleControl, oleControl_.put_void()));
  OleCheck(oleObject_->QueryInterface(IID_IDispatch, dispatch_.put_void()));
  Connect(IID_IPropertyNotifySink, static_cast<IPropertyNotifySink*>(site_.get()), propertyPoint_,
          propertyCookie_);
  Connect(eventsId_, events_.get(), eventPoint_, eventCookie_);
  oleControl_->OnAmbientPropertyChange(DISPID_UNKNOWN);
  controlCreated_ = true;
}

// Failures to connect are ignored: the control then simply has no sink.
void TOleControl::Connect(const IID& iid, IUnknown* sink, ComPtr<IConnectionPoint>& point,
                          DWORD& cookie) {
  ComPtr<IConnectionPointContainer> container;
  if (FAILED(oleObject_->QueryInterface(IID_IConnectionPointContainer, container.put_void())))
    return;
  if (FAILED(container->FindConnectionPoint(iid, point.put()))) {
    point.reset();
    return;
  }
  if (FAILED(point->Advise(sink, &cookie))) point.reset();
}

void TOleControl::SetProperty(DISPID id, VARIANT& value) {
  CreateControl();
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters = {};
  parameters.rgvarg = &value;
  parameters.cArgs = 1;
  parameters.rgdispidNamedArgs = &named;
  parameters.cNamedArgs = 1;
  EXCEPINFO exception = {};
  HRESULT result = dispatch_->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &parameters, nullptr,
                                     &exception, nullptr);
  if (result == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    const UniqueBstr source(exception.bstrSource);
    const UniqueBstr description(exception.bstrDescription);
    const UniqueBstr helpFile(exception.bstrHelpFile);
    RaiseOleException(exception.scode != 0 ? exception.scode : result,
                      AnsiFromBstr(description.get()));
  }
  OleCheck(result);
}

void TOleControl::SetStringProp(DISPID id, const std::string& value) {
  const UniqueBstr text = BstrFromAnsi(value);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = text.get();
  SetProperty(id, v);
}

void TOleControl::SetBoolProp(DISPID id, bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  SetProperty(id, v);
}

IUnknown* TOleControl::ControlInterface(const IID& iid) {
  CreateControl();
  if (!controlInterface_ || !IsEqualIID(controlInterfaceId_, iid)) {
    OleCheck(oleObject_->QueryInterface(iid, controlInterface_.put_void()));
    controlInterfaceId_ = iid;
  }
  return controlInterface_.get();
}
