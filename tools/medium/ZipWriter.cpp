#include "ZipWriter.h"

namespace {

uint32_t CrcStep(uint32_t crc, uint8_t byte) {
  crc ^= byte;
  for (int i = 0; i < 8; ++i) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  return crc;
}

// The traditional zip encryption: three keys stirred by every plain byte.
class Cipher {
public:
  explicit Cipher(const std::string& password) {
    for (char c : password) Update(static_cast<uint8_t>(c));
  }
  uint8_t Encrypt(uint8_t plain) {
    const uint16_t t = static_cast<uint16_t>(keys_[2] | 2);
    const uint8_t cipher = plain ^ static_cast<uint8_t>((t * (t ^ 1)) >> 8);
    Update(plain);
    return cipher;
  }

private:
  void Update(uint8_t plain) {
    keys_[0] = CrcStep(keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = CrcStep(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
  }
  uint32_t keys_[3] = {0x12345678u, 0x23456789u, 0x34567890u};
};

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

const uint32_t kDosTime = (12u << 11);               // 12:00:00
const uint32_t kDosDate = ((2020u - 1980u) << 9) | (1u << 5) | 1u;  // 2020-01-01

}  // namespace

uint32_t Crc32(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (char c : bytes) crc = CrcStep(crc, static_cast<uint8_t>(c));
  return ~crc;
}

TZipWriter::TZipWriter(std::string password) : password_(std::move(password)) {}

void TZipWriter::Add(const std::string& name, const std::string& bytes) {
  Entry entry{name, Crc32(bytes), static_cast<uint32_t>(bytes.size()), std::string()};
  if (password_.empty()) {
    entry.stored = bytes;
  } else {
    Cipher cipher(password_);
    // Eleven bytes of noise, then the check byte: the high byte of the CRC.
    for (int i = 0; i < 11; ++i) {
      seed_ = seed_ * 1103515245u + 12345u;
      entry.stored += static_cast<char>(cipher.Encrypt(static_cast<uint8_t>(seed_ >> 16)));
    }
    entry.stored += static_cast<char>(cipher.Encrypt(static_cast<uint8_t>(entry.crc >> 24)));
    for (char c : bytes) entry.stored += static_cast<char>(cipher.Encrypt(static_cast<uint8_t>(c)));
  }
  entries_.push_back(std::move(entry));
}

std::string TZipWriter::Archive() const {
  const uint32_t flags = password_.empty() ? 0 : 1;
  std::string out;
  std::string directory;
  for (const Entry& e : entries_) {
    const uint32_t offset = static_cast<uint32_t>(out.size());
    Put32(out, 0x04034B50u);
    Put16(out, 20);
    Put16(out, flags);
    Put16(out, 0);  // stored
    Put16(out, kDosTime);
    Put16(out, kDosDate);
    Put32(out, e.crc);
    Put32(out, static_cast<uint32_t>(e.stored.size()));
    Put32(out, e.size);
    Put16(out, static_cast<uint32_t>(e.name.size()));
    Put16(out, 0);
    out += e.name;
    out += e.stored;

    Put32(directory, 0x02014B50u);
    Put16(directory, 20);
    Put16(directory, 20);
    Put16(directory, flags);
    Put16(directory, 0);
    Put16(directory, kDosTime);
    Put16(directory, kDosDate);
    Put32(directory, e.crc);
    Put32(directory, static_cast<uint32_t>(e.stored.size()));
    Put32(directory, e.size);
    Put16(directory, static_cast<uint32_t>(e.name.size()));
    Put16(directory, 0);
    Put16(directory, 0);
    Put16(directory, 0);
    Put16(directory, 0);
    Put32(directory, 0x20);  // archive attribute
    Put32(directory, offset);
    directory += e.name;
  }
  const uint32_t directoryOffset = static_cast<uint32_t>(out.size());
  out += directory;
  Put32(out, 0x06054B50u);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<uint32_t>(entries_.size()));
  Put16(out, static_cast<uint32_t>(entries_.size()));
  Put32(out, static_cast<uint32_t>(directory.size()));
  Put32(out, directoryOffset);
  Put16(out, 0);
  return out;
}
