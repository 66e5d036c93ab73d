#include "zip/XceedZip.h"

#include "runtime/OleCheck.h"

// {DB797690-40E0-11D2-9BD5-0060082AE372}
const CLSID CLSID_XceedZip = {
    0xDB797690, 0x40E0, 0x11D2, {0x9B, 0xD5, 0x00, 0x60, 0x08, 0x2A, 0xE3, 0x72}};
// {07189400-00F2-11D5-802D-0060082AE372}
const IID IID_IXceedZip = {
    0x07189400, 0x00F2, 0x11D5, {0x80, 0x2D, 0x00, 0x60, 0x08, 0x2A, 0xE3, 0x72}};
// {DB797691-40E0-11D2-9BD5-0060082AE372}
const IID DIID_IXceedZipEvents = {
    0xDB797691, 0x40E0, 0x11D2, {0x9B, 0xD5, 0x00, 0x60, 0x08, 0x2A, 0xE3, 0x72}};

namespace {

// Dispatch ids of the properties the program sets.
enum : DISPID {
  kZipFilename = 100,
  kUnzipToFolder = 203,
  kEncryptionPassword = 402,
  kZipOpenedFiles = 403,
};

// Positions in IXceedZip's method table, counted from 0 with the three
// IUnknown and four IDispatch methods.
enum : int {
  kAddFilesToProcessSlot = 90,
  kUnzipSlot = 95,
};

using AddFilesToProcessMethod = HRESULT(__stdcall*)(void* self, BSTR mask);
using UnzipMethod = HRESULT(__stdcall*)(void* self, LONG* result);

template <typename Method>
Method MethodAt(IUnknown* object, int slot) {
  void** table = *reinterpret_cast<void***>(object);
  return reinterpret_cast<Method>(table[slot]);
}

}  // namespace

TXceedZip::TXceedZip() : TOleControl(CLSID_XceedZip, DIID_IXceedZipEvents) {}

void TXceedZip::SetZipFilename(const std::string& path) { SetStringProp(kZipFilename, path); }
void TXceedZip::SetZipOpenedFiles(bool value) { SetBoolProp(kZipOpenedFiles, value); }
void TXceedZip::SetUnzipToFolder(const std::string& folder) {
  SetStringProp(kUnzipToFolder, folder);
}
void TXceedZip::SetEncryptionPassword(const std::string& password) {
  SetStringProp(kEncryptionPassword, password);
}

void TXceedZip::AddFilesToProcess(const std::string& mask) {
  IUnknown* zip = ControlInterface(IID_IXceedZip);
  BSTR text = BstrFromAnsi(mask);
  HRESULT result = MethodAt<AddFilesToProcessMethod>(zip, kAddFilesToProcessSlot)(zip, text);
  SysFreeString(text);
  if (FAILED(result)) RaiseOleMethodFailure(result);
}

long TXceedZip::Unzip() {
  IUnknown* zip = ControlInterface(IID_IXceedZip);
  LONG code = 0;
  HRESULT result = MethodAt<UnzipMethod>(zip, kUnzipSlot)(zip, &code);
  if (FAILED(result)) RaiseOleMethodFailure(result);
  return code;
}
