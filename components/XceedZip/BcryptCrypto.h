// The archive data path's cryptography with the Windows crypto API (bcrypt).
#pragma once

#include "core/ZipCrypto.h"

#include "runtime/Handles.h"

#include <bcrypt.h>

struct BcryptAlgorithmCloser {
  void operator()(BCRYPT_ALG_HANDLE h) const { BCryptCloseAlgorithmProvider(h, 0); }
};
using UniqueAlgorithm = UniqueHandle<BCRYPT_ALG_HANDLE, BcryptAlgorithmCloser>;

class BcryptCrypto : public ZipCrypto {
public:
  bool DeriveKey(const std::string& password, const uint8_t* salt, size_t saltLength,
                 unsigned rounds, uint8_t* out, size_t outLength) override;
  std::unique_ptr<AesEncryptor> NewAes(const uint8_t* key, size_t keyLength) override;
  std::unique_ptr<Sha1Hmac> NewHmac(const uint8_t* key, size_t keyLength) override;
  bool Random(uint8_t* out, size_t size) override;

private:
  BCRYPT_ALG_HANDLE Hmac();
  BCRYPT_ALG_HANDLE Aes();

  UniqueAlgorithm hmac_;  // opened on first use
  UniqueAlgorithm aes_;
};
