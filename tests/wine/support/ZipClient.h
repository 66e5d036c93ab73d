// The zip component as the program drives it: the program's own wrapper
// (client site, sinks, property puts, the two methods by their place in
// the method table), with wide-path conveniences and raw access to the
// component's IDispatch and interface for what the program never calls.
#pragma once

#include "Files.h"
#include "app/core/MediumNames.h"
#include "runtime/Handles.h"
#include "zip/XceedZip.h"
#include "zip/XceedZipContract.h"

#include <gtest/gtest.h>

#include <string>

namespace setup_test {

// The component's class key under HKEY_CLASSES_ROOT.
inline std::wstring ComponentClassKey() {
  wchar_t id[40] = {};
  StringFromGUID2(CLSID_XceedZip, id, 40);
  return std::wstring(L"CLSID\\") + id;
}

class ZipClient : public TXceedZip {
public:
  ZipClient() {
    ControlInterface(IID_IDispatch)->QueryInterface(IID_IDispatch, dispatch_.put_void());
  }

  IDispatch* dispatch() const { return dispatch_.get(); }
  IXceedZip* zip() { return static_cast<IXceedZip*>(ControlInterface(IID_IXceedZip)); }

  // A put as a caller other than the program may make it: the result as is.
  HRESULT Put(DISPID dispid, VARIANT value) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value, &named, 1, 1};
    return dispatch_->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                             nullptr);
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

  // The program's puts: strings from the ANSI code page, empty as null.
  void PutString(DISPID dispid, const std::wstring& text) { SetStringProp(dispid, Ansi(text)); }
  void PutBool(DISPID dispid, bool on) { SetBoolProp(dispid, on); }
  void AddMask(const wchar_t* mask) { AddFilesToProcess(Ansi(mask)); }
  void AddExcludeMask(const wchar_t* mask) {
    const UniqueBstr text(SysAllocString(mask));
    EXPECT_EQ(zip()->AddFilesToExclude(text.get()), S_OK);
  }

  // The settings of the program's first extraction.
  void SetUpFirstExtraction(const std::wstring& archive, const std::wstring& folder) {
    PutString(kDispZipFilename, archive);
    PutBool(kDispZipOpenedFiles, true);
    PutString(kDispUnzipToFolder, folder);
    SetEncryptionPassword(medium::kArchivePassword);
  }

  // A put of a property the component does not have, as the program's
  // wrapper would make it.
  void PutUnknown() { SetStringProp(4711, "x"); }

private:
  ComPtr<IDispatch> dispatch_;
};

}  // namespace setup_test
