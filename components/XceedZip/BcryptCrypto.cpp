#include "BcryptCrypto.h"

namespace {

bool Ok(NTSTATUS status) { return status >= 0; }

struct BcryptKeyCloser { void operator()(BCRYPT_KEY_HANDLE h) const { BCryptDestroyKey(h); } };
struct BcryptHashCloser { void operator()(BCRYPT_HASH_HANDLE h) const { BCryptDestroyHash(h); } };

class BcryptAes : public AesEncryptor {
public:
  explicit BcryptAes(BCRYPT_KEY_HANDLE key) : key_(key) {}
  bool EncryptBlocks(const uint8_t* in, uint8_t* out, size_t size) override {
    ULONG produced = 0;
    return Ok(BCryptEncrypt(key_.get(), const_cast<PUCHAR>(in), static_cast<ULONG>(size), nullptr,
                            nullptr, 0, out, static_cast<ULONG>(size), &produced, 0)) &&
           produced == size;
  }

private:
  UniqueHandle<BCRYPT_KEY_HANDLE, BcryptKeyCloser> key_;
};

class BcryptHmac : public Sha1Hmac {
public:
  explicit BcryptHmac(BCRYPT_HASH_HANDLE hash) : hash_(hash) {}
  bool Update(const uint8_t* data, size_t size) override {
    return Ok(BCryptHashData(hash_.get(), const_cast<PUCHAR>(data), static_cast<ULONG>(size), 0));
  }
  bool Finish(uint8_t (&mac)[kLength]) override {
    return Ok(BCryptFinishHash(hash_.get(), mac, kLength, 0));
  }

private:
  UniqueHandle<BCRYPT_HASH_HANDLE, BcryptHashCloser> hash_;
};

}  // namespace

BCRYPT_ALG_HANDLE BcryptCrypto::Hmac() {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!hmac_ && Ok(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA1_ALGORITHM, nullptr,
                                               BCRYPT_ALG_HANDLE_HMAC_FLAG))) {
    hmac_.reset(algorithm);
  }
  return hmac_.get();
}

BCRYPT_ALG_HANDLE BcryptCrypto::Aes() {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!aes_ && Ok(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_AES_ALGORITHM, nullptr, 0))) {
    aes_.reset(algorithm);
    if (!Ok(BCryptSetProperty(algorithm, BCRYPT_CHAINING_MODE,
                              reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_ECB)),
                              sizeof(BCRYPT_CHAIN_MODE_ECB), 0))) {
      aes_.reset();
    }
  }
  return aes_.get();
}

bool BcryptCrypto::DeriveKey(const std::string& password, const uint8_t* salt, size_t saltLength,
                             unsigned rounds, uint8_t* out, size_t outLength) {
  BCRYPT_ALG_HANDLE hmac = Hmac();
  return hmac && Ok(BCryptDeriveKeyPBKDF2(
                     hmac, reinterpret_cast<PUCHAR>(const_cast<char*>(password.data())),
                     static_cast<ULONG>(password.size()), const_cast<PUCHAR>(salt),
                     static_cast<ULONG>(saltLength), rounds, out, static_cast<ULONG>(outLength), 0));
}

std::unique_ptr<AesEncryptor> BcryptCrypto::NewAes(const uint8_t* key, size_t keyLength) {
  BCRYPT_ALG_HANDLE aes = Aes();
  BCRYPT_KEY_HANDLE handle = nullptr;
  if (!aes || !Ok(BCryptGenerateSymmetricKey(aes, &handle, nullptr, 0, const_cast<PUCHAR>(key),
                                             static_cast<ULONG>(keyLength), 0))) {
    return nullptr;
  }
  return std::make_unique<BcryptAes>(handle);
}

std::unique_ptr<Sha1Hmac> BcryptCrypto::NewHmac(const uint8_t* key, size_t keyLength) {
  BCRYPT_ALG_HANDLE hmac = Hmac();
  BCRYPT_HASH_HANDLE handle = nullptr;
  if (!hmac || !Ok(BCryptCreateHash(hmac, &handle, nullptr, 0, const_cast<PUCHAR>(key),
                                    static_cast<ULONG>(keyLength), 0))) {
    return nullptr;
  }
  return std::make_unique<BcryptHmac>(handle);
}

bool BcryptCrypto::Random(uint8_t* out, size_t size) {
  return Ok(BCryptGenRandom(nullptr, out, static_cast<ULONG>(size),
                            BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}
