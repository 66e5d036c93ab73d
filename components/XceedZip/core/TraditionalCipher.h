// Traditional (PKWARE) zip encryption: three 32-bit keys stirred with CRC-32
// steps, one keystream byte per data byte, a 12-byte header in front of the
// data whose last byte checks the password.
//
// libzip decrypts these entries too, but one library call per CRC step makes
// it several times slower than the rest of the extraction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class TraditionalCipher {
public:
  static constexpr size_t kHeaderLength = 12;

  // Sets the keys from the password and decrypts the header; true when its
  // last byte is one of the two check values (the high byte of the entry's
  // CRC, or of its DOS time for entries written with a data descriptor).
  bool Start(const std::string& password, const uint8_t* header, uint8_t checkCrc,
             uint8_t checkTime);
  void Decrypt(uint8_t* data, size_t size);

private:
  void Update(uint8_t plain);
  uint8_t KeystreamByte() const;

  uint32_t keys_[3] = {};
};
