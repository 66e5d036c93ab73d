#include "runtime/FileSignature.h"

#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

namespace {

// A verification's state data, released through the platform when done.
class TrustState {
public:
  TrustState(HANDLE file, const wchar_t* path) {
    file_.pcwszFilePath = path;
    file_.hFile = file;
    data_.cbStruct = sizeof data_;
    data_.dwUIChoice = WTD_UI_NONE;
    data_.fdwRevocationChecks = WTD_REVOKE_NONE;
    data_.dwUnionChoice = WTD_CHOICE_FILE;
    data_.pFile = &file_;
    data_.dwStateAction = WTD_STATEACTION_VERIFY;
    data_.dwProvFlags = WTD_REVOCATION_CHECK_NONE | WTD_CACHE_ONLY_URL_RETRIEVAL;
    verdict_ = Call();
    lastError_ = GetLastError();
  }
  ~TrustState() {
    data_.dwStateAction = WTD_STATEACTION_CLOSE;
    Call();
  }
  TrustState(const TrustState&) = delete;
  TrustState& operator=(const TrustState&) = delete;

  LONG Verdict() const { return verdict_; }
  DWORD LastError() const { return lastError_; }
  // The certificate of the first signer, null when there is none.
  PCCERT_CONTEXT SignerCertificate() const {
    CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(data_.hWVTStateData);
    CRYPT_PROVIDER_SGNR* signer =
        provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
    if (!signer || signer->csCertChain == 0 || !signer->pasCertChain) return nullptr;
    return signer->pasCertChain[0].pCert;
  }

private:
  LONG Call() {
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    return WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data_);
  }

  WINTRUST_FILE_INFO file_ = {sizeof(WINTRUST_FILE_INFO), nullptr, nullptr, nullptr};
  WINTRUST_DATA data_ = {};
  LONG verdict_ = 0;
  DWORD lastError_ = 0;
};

// No signature at all: the platform says so, and its detail does not point
// at a signature it could not read.
bool IsUnsigned(const TrustState& trust) {
  const DWORD detail = trust.LastError();
  return trust.Verdict() == static_cast<LONG>(TRUST_E_NOSIGNATURE) &&
         (detail == static_cast<DWORD>(TRUST_E_NOSIGNATURE) ||
          detail == static_cast<DWORD>(TRUST_E_SUBJECT_FORM_UNKNOWN) ||
          detail == static_cast<DWORD>(TRUST_E_PROVIDER_UNKNOWN));
}

// The digest and the signature value verified; only the certificate chain
// may have been found wanting (the CERT_E_ verdicts, explicit distrust
// included).
bool SignatureHolds(LONG verdict) {
  const DWORD code = static_cast<DWORD>(verdict);
  return verdict == 0 ||
         ((code & 0xFFFFFF00u) == 0x800B0100u && code != static_cast<DWORD>(TRUST_E_NOSIGNATURE));
}

}  // namespace

FileSignature ReadFileSignature(HANDLE file, const wchar_t* path, char* name, DWORD nameSize) {
  FileSignature result;
  const TrustState trust(file, path);
  if (IsUnsigned(trust)) return result;
  result.state = FileSignature::Changed;
  PCCERT_CONTEXT certificate = trust.SignerCertificate();
  if (!SignatureHolds(trust.Verdict()) || !certificate) return result;
  DWORD size = sizeof result.signer;
  if (!CryptHashCertificate2(L"SHA256", 0, nullptr, certificate->pbCertEncoded,
                             certificate->cbCertEncoded, result.signer, &size) ||
      size != sizeof result.signer)
    return result;
  if (name)
    CertGetNameStringA(certificate, CERT_NAME_ATTR_TYPE, 0, const_cast<char*>(szOID_COMMON_NAME),
                       name, nameSize);
  result.state = FileSignature::Verifies;
  return result;
}
