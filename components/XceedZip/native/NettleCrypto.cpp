#include "NettleCrypto.h"

#include <nettle/aes.h>
#include <nettle/hmac.h>
#include <nettle/pbkdf2.h>

#include <sys/random.h>

namespace {

// One AES key size of nettle's interface: its context and functions.
template <typename Context, void (*SetKey)(Context*, const uint8_t*),
          void (*Encrypt)(const Context*, size_t, uint8_t*, const uint8_t*)>
class NettleAes : public AesEncryptor {
public:
  explicit NettleAes(const uint8_t* key) { SetKey(&context_, key); }
  bool EncryptBlocks(const uint8_t* in, uint8_t* out, size_t size) override {
    if (size % AES_BLOCK_SIZE != 0) return false;
    Encrypt(&context_, size, out, in);
    return true;
  }

private:
  Context context_;
};

class NettleHmac : public Sha1Hmac {
public:
  NettleHmac(const uint8_t* key, size_t keyLength) { hmac_sha1_set_key(&context_, keyLength, key); }
  bool Update(const uint8_t* data, size_t size) override {
    hmac_sha1_update(&context_, size, data);
    return true;
  }
  bool Finish(uint8_t (&mac)[kLength]) override {
    hmac_sha1_digest(&context_, kLength, mac);
    return true;
  }

private:
  hmac_sha1_ctx context_;
};

}  // namespace

bool NettleCrypto::DeriveKey(const std::string& password, const uint8_t* salt, size_t saltLength,
                             unsigned rounds, uint8_t* out, size_t outLength) {
  pbkdf2_hmac_sha1(password.size(), reinterpret_cast<const uint8_t*>(password.data()), rounds,
                   saltLength, salt, outLength, out);
  return true;
}

std::unique_ptr<AesEncryptor> NettleCrypto::NewAes(const uint8_t* key, size_t keyLength) {
  switch (keyLength) {
    case 16: return std::make_unique<NettleAes<aes128_ctx, aes128_set_encrypt_key, aes128_encrypt>>(key);
    case 24: return std::make_unique<NettleAes<aes192_ctx, aes192_set_encrypt_key, aes192_encrypt>>(key);
    case 32: return std::make_unique<NettleAes<aes256_ctx, aes256_set_encrypt_key, aes256_encrypt>>(key);
    default: return nullptr;
  }
}

std::unique_ptr<Sha1Hmac> NettleCrypto::NewHmac(const uint8_t* key, size_t keyLength) {
  return std::make_unique<NettleHmac>(key, keyLength);
}

bool NettleCrypto::Random(uint8_t* out, size_t size) {
  while (size > 0) {
    ssize_t n = getrandom(out, size, 0);
    if (n <= 0) return false;
    out += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}
