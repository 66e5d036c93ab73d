// The archive data path's cryptography on the build host, with nettle: for
// the native unit tests and the fuzz target.
#pragma once

#include "ZipCrypto.h"

class NettleCrypto : public ZipCrypto {
public:
  bool DeriveKey(const std::string& password, const uint8_t* salt, size_t saltLength,
                 unsigned rounds, uint8_t* out, size_t outLength) override;
  std::unique_ptr<AesEncryptor> NewAes(const uint8_t* key, size_t keyLength) override;
  std::unique_ptr<Sha1Hmac> NewHmac(const uint8_t* key, size_t keyLength) override;
  bool Random(uint8_t* out, size_t size) override;
};
