// A COM client of the zip component for its Windows-side tests: it drives
// the component exactly as the program's wrapper does, with a client site
// and sinks of its own that count their references, and calls the two
// methods the program calls by their position in the method table.
#pragma once

#include "Files.h"
#include "app/core/MediumNames.h"
#include "zip/XceedZipContract.h"

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>

namespace setup_test {

// A COM object that only counts its references: client site and sinks.
class CountedObject : public IOleClientSite, public IPropertyNotifySink, public IDispatch {
public:
  LONG references = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
      *out = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IPropertyNotifySink) {
      *out = static_cast<IPropertyNotifySink*>(this);
    } else if (iid == IID_IDispatch || iid == DIID_IXceedZipEvents) {
      *out = static_cast<IDispatch*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }  // lives on the stack
  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** m) override {
    *m = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** c) override {
    *c = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IPropertyNotifySink
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
  // IDispatch (events)
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return S_OK;
  }
};

template <typename I>
I* Query(IUnknown* object, const IID& iid) {
  void* out = nullptr;
  EXPECT_EQ(object->QueryInterface(iid, &out), S_OK);
  return static_cast<I*>(out);
}

// Drives the component exactly as the program's wrapper does: creation,
// client site, InitNew, the two sinks, ambient change; on destruction Close,
// Unadvise, no client site, Release.
class ZipClient {
public:
  explicit ZipClient(CountedObject* host) : host_(host) {
    HRESULT hr = CoCreateInstance(CLSID_XceedZip, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                  IID_IOleObject, reinterpret_cast<void**>(&ole_));
    EXPECT_EQ(hr, S_OK);
    if (!ole_) return;
    DWORD status = 0;
    EXPECT_EQ(ole_->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(ole_->SetClientSite(host_), S_OK);
    IPersistStreamInit* persist = Query<IPersistStreamInit>(ole_, IID_IPersistStreamInit);
    EXPECT_EQ(persist->InitNew(), S_OK);
    persist->Release();
    control_ = Query<IOleControl>(ole_, IID_IOleControl);
    dispatch_ = Query<IDispatch>(ole_, IID_IDispatch);
    zip_ = Query<IXceedZip>(ole_, IID_IXceedZip);
    IConnectionPointContainer* points =
        Query<IConnectionPointContainer>(ole_, IID_IConnectionPointContainer);
    Connect(points, IID_IPropertyNotifySink, &propertySink_);
    Connect(points, DIID_IXceedZipEvents, &eventSink_);
    points->Release();
    EXPECT_EQ(control_->OnAmbientPropertyChange(DISPID_UNKNOWN), S_OK);
  }

  ~ZipClient() {
    if (!ole_) return;
    EXPECT_EQ(ole_->Close(OLECLOSE_NOSAVE), S_OK);
    Disconnect(propertySink_);
    Disconnect(eventSink_);
    ole_->SetClientSite(nullptr);
    zip_->Release();
    dispatch_->Release();
    control_->Release();
    ole_->Release();
  }

  IDispatch* dispatch() const { return dispatch_; }
  IXceedZip* zip() const { return zip_; }

  HRESULT Put(DISPID dispid, VARIANT value) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value, &named, 1, 1};
    return dispatch_->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                             nullptr);
  }
  // Strings go as BSTR; an empty one as null, as the program sends it.
  void PutString(DISPID dispid, const std::wstring& text) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = text.empty() ? nullptr : SysAllocString(text.c_str());
    EXPECT_EQ(Put(dispid, value), S_OK) << "dispid " << dispid;
    VariantClear(&value);
  }
  void PutBool(DISPID dispid, bool on) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
    EXPECT_EQ(Put(dispid, value), S_OK) << "dispid " << dispid;
  }
  VARIANT Get(DISPID dispid) {
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(dispatch_->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result,
                                nullptr, nullptr),
              S_OK);
    return result;
  }

  void AddMask(const wchar_t* mask) {
    BSTR text = SysAllocString(mask);
    auto add = reinterpret_cast<AddFilesToProcessMethod>(Slot(kAddFilesToProcessSlot));
    EXPECT_EQ(add(zip_, text), S_OK);
    SysFreeString(text);
  }
  LONG Unzip() {
    LONG result = -1;
    auto unzip = reinterpret_cast<UnzipMethod>(Slot(kUnzipSlot));
    EXPECT_EQ(unzip(zip_, &result), S_OK);
    return result;
  }

  // Exclude masks, through the interface's own declaration.
  void AddExcludeMask(const wchar_t* mask) {
    BSTR text = SysAllocString(mask);
    EXPECT_EQ(zip_->AddFilesToExclude(text), S_OK);
    SysFreeString(text);
  }

  // The settings of the program's first extraction.
  void SetUpFirstExtraction(const std::wstring& archive, const std::wstring& folder) {
    PutString(kDispZipFilename, archive);
    PutBool(kDispZipOpenedFiles, true);
    PutString(kDispUnzipToFolder, folder);
    PutString(kDispEncryptionPassword, Wide(medium::kArchivePassword));
  }

private:
  void* Slot(int index) const { return (*reinterpret_cast<void***>(zip_))[index]; }

  struct Connection {
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
  };
  void Connect(IConnectionPointContainer* points, const IID& iid, Connection* connection) {
    EXPECT_EQ(points->FindConnectionPoint(iid, &connection->point), S_OK);
    if (connection->point) {
      EXPECT_EQ(connection->point->Advise(static_cast<IOleClientSite*>(host_), &connection->cookie),
                S_OK);
    }
  }
  void Disconnect(Connection& connection) {
    if (!connection.point) return;
    EXPECT_EQ(connection.point->Unadvise(connection.cookie), S_OK);
    EXPECT_EQ(connection.point->Unadvise(connection.cookie), CONNECT_E_NOCONNECTION);
    connection.point->Release();
  }

  CountedObject* host_;
  IOleObject* ole_ = nullptr;
  IOleControl* control_ = nullptr;
  IDispatch* dispatch_ = nullptr;
  IXceedZip* zip_ = nullptr;
  Connection propertySink_;
  Connection eventSink_;
};

}  // namespace setup_test
