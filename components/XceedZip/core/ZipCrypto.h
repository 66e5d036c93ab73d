// The cryptography the archive data path needs, behind a small interface:
// the component uses the Windows crypto API, native builds a library of the
// host. Every call reports failure with false.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class AesEncryptor {
public:
  virtual ~AesEncryptor() = default;
  // Encrypts whole 16-byte blocks one by one (ECB); in and out may be equal.
  virtual bool EncryptBlocks(const uint8_t* in, uint8_t* out, size_t size) = 0;
};

class Sha1Hmac {
public:
  static constexpr size_t kLength = 20;
  virtual ~Sha1Hmac() = default;
  virtual bool Update(const uint8_t* data, size_t size) = 0;
  virtual bool Finish(uint8_t (&mac)[kLength]) = 0;
};

class ZipCrypto {
public:
  virtual ~ZipCrypto() = default;
  // PBKDF2 with HMAC-SHA1.
  virtual bool DeriveKey(const std::string& password, const uint8_t* salt, size_t saltLength,
                         unsigned rounds, uint8_t* out, size_t outLength) = 0;
  // Key of 16, 24 or 32 bytes; null on failure.
  virtual std::unique_ptr<AesEncryptor> NewAes(const uint8_t* key, size_t keyLength) = 0;
  virtual std::unique_ptr<Sha1Hmac> NewHmac(const uint8_t* key, size_t keyLength) = 0;
  // Bytes nobody can predict (names of temporary files).
  virtual bool Random(uint8_t* out, size_t size) = 0;
};
