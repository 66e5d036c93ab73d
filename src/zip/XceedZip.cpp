#include "zip/XceedZip.h"

#include "runtime/OleCheck.h"
#include "zip/XceedZipContract.h"

TXceedZip::TXceedZip() : TOleControl(CLSID_XceedZip, DIID_IXceedZipEvents) {}

void TXceedZip::SetZipFilename(const std::string& path) { SetStringProp(kDispZipFilename, path); }
void TXceedZip::SetZipOpenedFiles(bool value) { SetBoolProp(kDispZipOpenedFiles, value); }
void TXceedZip::SetUnzipToFolder(const std::string& folder) {
  SetStringProp(kDispUnzipToFolder, folder);
}
void TXceedZip::SetEncryptionPassword(const std::string& password) {
  SetStringProp(kDispEncryptionPassword, password);
}

void TXceedZip::AddFilesToProcess(const std::string& mask) {
  auto* zip = static_cast<IXceedZip*>(ControlInterface(IID_IXceedZip));
  const UniqueBstr text = BstrFromAnsi(mask);
  HRESULT result = zip->AddFilesToProcess(text.get());
  if (FAILED(result)) RaiseOleMethodFailure(result);
}

long TXceedZip::Unzip() {
  auto* zip = static_cast<IXceedZip*>(ControlInterface(IID_IXceedZip));
  LONG code = 0;
  HRESULT result = zip->Unzip(&code);
  if (FAILED(result)) RaiseOleMethodFailure(result);
  return code;
}
