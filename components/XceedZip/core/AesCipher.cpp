#include "AesCipher.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kKeystreamBlocks = 4096;  // 64 KiB of keystream per crypto call
constexpr unsigned kRounds = 1000;

}  // namespace

bool AesCipher::Start(const std::string& password, int strength, const uint8_t* salt,
                      const uint8_t* verifier, bool* cryptoFailed) {
  aes_.reset();
  mac_.reset();
  *cryptoFailed = true;
  size_t keyLength = 8 + 8 * static_cast<size_t>(strength);
  std::vector<uint8_t> derived(2 * keyLength + kVerifierLength);
  if (!crypto_.DeriveKey(password, salt, SaltLength(strength), kRounds, derived.data(),
                         derived.size())) {
    return false;
  }
  *cryptoFailed = false;
  if (std::memcmp(derived.data() + 2 * keyLength, verifier, kVerifierLength) != 0) return false;

  *cryptoFailed = true;
  aes_ = crypto_.NewAes(derived.data(), keyLength);
  mac_ = crypto_.NewHmac(derived.data() + keyLength, keyLength);
  if (!aes_ || !mac_) return false;
  *cryptoFailed = false;
  std::memset(counter_, 0, sizeof counter_);
  keystream_.resize(kKeystreamBlocks * 16);
  keystreamUsed_ = keystream_.size();
  return true;
}

// Counter mode as the zip AES format has it: a 128-bit little-endian counter that
// starts at 1, encrypted block by block (ECB) to give the keystream.
bool AesCipher::RefillKeystream() {
  for (size_t block = 0; block < kKeystreamBlocks; ++block) {
    for (int i = 0; i < 16 && ++counter_[i] == 0; ++i) {
    }
    std::memcpy(&keystream_[block * 16], counter_, 16);
  }
  if (!aes_->EncryptBlocks(keystream_.data(), keystream_.data(), keystream_.size())) return false;
  keystreamUsed_ = 0;
  return true;
}

bool AesCipher::Decrypt(uint8_t* data, size_t size) {
  if (size == 0) return true;
  if (!mac_->Update(data, size)) return false;
  while (size > 0) {
    if (keystreamUsed_ == keystream_.size() && !RefillKeystream()) return false;
    size_t n = std::min(size, keystream_.size() - keystreamUsed_);
    const uint8_t* key = &keystream_[keystreamUsed_];
    for (size_t i = 0; i < n; ++i) data[i] ^= key[i];
    data += n;
    size -= n;
    keystreamUsed_ += n;
  }
  return true;
}

bool AesCipher::MacMatches(const uint8_t* storedMac) {
  uint8_t mac[Sha1Hmac::kLength];
  if (!mac_->Finish(mac)) return false;
  return std::memcmp(mac, storedMac, kMacLength) == 0;
}
