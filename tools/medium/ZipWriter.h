// Writing zip archives for installation media and tests: stored entries,
// optionally protected with the traditional zip encryption.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TZipWriter {
public:
  // An empty password writes the entries unprotected.
  explicit TZipWriter(std::string password = std::string());

  void Add(const std::string& name, const std::string& bytes);

  // The whole archive.
  std::string Archive() const;

private:
  struct Entry {
    std::string name;
    uint32_t crc;
    uint32_t size;
    std::string stored;  // encryption header and data as written
  };

  std::string password_;
  std::vector<Entry> entries_;
  uint32_t seed_ = 0x2F6A1C35u;
};

uint32_t Crc32(const std::string& bytes);
