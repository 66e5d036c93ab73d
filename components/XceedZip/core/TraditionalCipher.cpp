#include "TraditionalCipher.h"

namespace {

struct CrcTable {
  uint32_t entries[256];
  CrcTable() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entries[i] = c;
    }
  }
};
const CrcTable kCrc;

inline uint32_t CrcStep(uint32_t crc, uint8_t b) {
  return kCrc.entries[(crc ^ b) & 0xFF] ^ (crc >> 8);
}

}  // namespace

inline void TraditionalCipher::Update(uint8_t plain) {
  keys_[0] = CrcStep(keys_[0], plain);
  keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
  keys_[2] = CrcStep(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
}

inline uint8_t TraditionalCipher::KeystreamByte() const {
  uint32_t t = (keys_[2] & 0xFFFF) | 2;
  return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
}

bool TraditionalCipher::Start(const std::string& password, const uint8_t* header,
                              uint8_t checkCrc, uint8_t checkTime) {
  keys_[0] = 0x12345678u;
  keys_[1] = 0x23456789u;
  keys_[2] = 0x34567890u;
  for (char c : password) Update(static_cast<uint8_t>(c));
  uint8_t plain[kHeaderLength];
  for (size_t i = 0; i < kHeaderLength; ++i) {
    plain[i] = header[i] ^ KeystreamByte();
    Update(plain[i]);
  }
  uint8_t check = plain[kHeaderLength - 1];
  return check == checkCrc || check == checkTime;
}

// The hot loop: the keys live in locals, so that writing the data (which
// may alias anything) does not force them through memory at every byte.
void TraditionalCipher::Decrypt(uint8_t* data, size_t size) {
  uint32_t k0 = keys_[0], k1 = keys_[1], k2 = keys_[2];
  for (size_t i = 0; i < size; ++i) {
    uint32_t t = (k2 & 0xFFFF) | 2;
    uint8_t plain = data[i] ^ static_cast<uint8_t>((t * (t ^ 1)) >> 8);
    data[i] = plain;
    k0 = CrcStep(k0, plain);
    k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
    k2 = CrcStep(k2, static_cast<uint8_t>(k1 >> 24));
  }
  keys_[0] = k0;
  keys_[1] = k1;
  keys_[2] = k2;
}
