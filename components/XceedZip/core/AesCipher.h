// Decryption of AES encrypted zip entries (AE-1 and AE-2). The entry's stored
// data is: salt, 2-byte password verifier, the encrypted data (AES in counter
// mode), 10 bytes of HMAC-SHA1 over the encrypted data. Keys come from the
// password with PBKDF2-HMAC-SHA1, 1000 rounds.
//
// libzip reads these entries too, but it insists on the CRC of AE-2 entries,
// which such entries leave zero, so they are decrypted here.
#pragma once

#include "ZipCrypto.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class AesCipher {
public:
  // Key strength 1, 2, 3: AES-128, -192, -256. Salt length for a strength.
  static size_t SaltLength(int strength) { return 4 + 4 * static_cast<size_t>(strength); }
  static constexpr size_t kVerifierLength = 2;
  static constexpr size_t kMacLength = 10;

  explicit AesCipher(ZipCrypto& crypto) : crypto_(crypto) {}

  // Derives the keys; false when the password does not fit the verifier or
  // the crypto fails (then `cryptoFailed` is set).
  bool Start(const std::string& password, int strength, const uint8_t* salt,
             const uint8_t* verifier, bool* cryptoFailed);
  // Decrypts in place and adds the encrypted bytes to the MAC.
  bool Decrypt(uint8_t* data, size_t size);
  // Compares the MAC over everything decrypted with the stored one.
  bool MacMatches(const uint8_t* storedMac);

private:
  bool RefillKeystream();

  ZipCrypto& crypto_;
  std::unique_ptr<AesEncryptor> aes_;
  std::unique_ptr<Sha1Hmac> mac_;
  uint8_t counter_[16] = {};
  std::vector<uint8_t> keystream_;
  size_t keystreamUsed_ = 0;
};
