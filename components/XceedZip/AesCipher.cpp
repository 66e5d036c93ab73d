#include "AesCipher.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kKeystreamBlocks = 4096;  // 64 KiB of keystream per crypto call
constexpr ULONGLONG kRounds = 1000;

bool Ok(NTSTATUS status) { return status >= 0; }

}  // namespace

AesCipher::~AesCipher() { Reset(); }

void AesCipher::Reset() {
  if (mac_) BCryptDestroyHash(mac_);
  if (key_) BCryptDestroyKey(key_);
  if (aesAlgorithm_) BCryptCloseAlgorithmProvider(aesAlgorithm_, 0);
  if (hmacAlgorithm_) BCryptCloseAlgorithmProvider(hmacAlgorithm_, 0);
  mac_ = nullptr;
  key_ = nullptr;
  aesAlgorithm_ = nullptr;
  hmacAlgorithm_ = nullptr;
}

bool AesCipher::Start(const std::string& password, int strength, const uint8_t* salt,
                      const uint8_t* verifier, bool* cryptoFailed) {
  Reset();
  *cryptoFailed = true;
  size_t keyLength = 8 + 8 * static_cast<size_t>(strength);
  std::vector<uint8_t> derived(2 * keyLength + kVerifierLength);
  if (!Ok(BCryptOpenAlgorithmProvider(&hmacAlgorithm_, BCRYPT_SHA1_ALGORITHM, nullptr,
                                      BCRYPT_ALG_HANDLE_HMAC_FLAG)) ||
      !Ok(BCryptDeriveKeyPBKDF2(hmacAlgorithm_,
                                reinterpret_cast<PUCHAR>(const_cast<char*>(password.data())),
                                static_cast<ULONG>(password.size()), const_cast<PUCHAR>(salt),
                                static_cast<ULONG>(SaltLength(strength)), kRounds, derived.data(),
                                static_cast<ULONG>(derived.size()), 0))) {
    return false;
  }
  *cryptoFailed = false;
  if (std::memcmp(derived.data() + 2 * keyLength, verifier, kVerifierLength) != 0) return false;

  *cryptoFailed = true;
  macKey_.assign(derived.begin() + keyLength, derived.begin() + 2 * keyLength);
  if (!Ok(BCryptOpenAlgorithmProvider(&aesAlgorithm_, BCRYPT_AES_ALGORITHM, nullptr, 0)) ||
      !Ok(BCryptSetProperty(aesAlgorithm_, BCRYPT_CHAINING_MODE,
                            reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_ECB)),
                            sizeof(BCRYPT_CHAIN_MODE_ECB), 0)) ||
      !Ok(BCryptGenerateSymmetricKey(aesAlgorithm_, &key_, nullptr, 0, derived.data(),
                                     static_cast<ULONG>(keyLength), 0)) ||
      !Ok(BCryptCreateHash(hmacAlgorithm_, &mac_, nullptr, 0, macKey_.data(),
                           static_cast<ULONG>(macKey_.size()), 0))) {
    return false;
  }
  *cryptoFailed = false;
  std::memset(counter_, 0, sizeof counter_);
  counters_.resize(kKeystreamBlocks * 16);
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
    std::memcpy(&counters_[block * 16], counter_, 16);
  }
  ULONG produced = 0;
  if (!Ok(BCryptEncrypt(key_, counters_.data(), static_cast<ULONG>(counters_.size()), nullptr,
                        nullptr, 0, keystream_.data(), static_cast<ULONG>(keystream_.size()),
                        &produced, 0)) ||
      produced != keystream_.size()) {
    return false;
  }
  keystreamUsed_ = 0;
  return true;
}

bool AesCipher::Decrypt(uint8_t* data, size_t size) {
  if (size == 0) return true;
  if (!Ok(BCryptHashData(mac_, data, static_cast<ULONG>(size), 0))) return false;
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
  uint8_t mac[20];
  if (!Ok(BCryptFinishHash(mac_, mac, sizeof mac, 0))) return false;
  return std::memcmp(mac, storedMac, kMacLength) == 0;
}
