// Byte-level changes to zip archives for the tests of the zip component.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

// Makes `entry` declare `size` uncompressed bytes in the central directory,
// and in its local header unless that leaves the sizes to a data descriptor.
// Returns how many directory records were changed (1 when the entry exists).
inline int SetDeclaredSize(std::string& bytes, const std::string& entry, uint32_t size) {
  int changed = 0;
  auto patch = [&](const char* signature, size_t nameLengthAt, size_t nameAt, size_t sizeAt,
                   bool central) {
    for (size_t at = bytes.find(signature, 0, 4); at != std::string::npos;
         at = bytes.find(signature, at + 4, 4)) {
      if (at + nameAt + entry.size() > bytes.size() ||
          static_cast<uint8_t>(bytes[at + nameLengthAt]) != entry.size() ||
          bytes[at + nameLengthAt + 1] != 0 || bytes.compare(at + nameAt, entry.size(), entry) != 0) {
        continue;
      }
      if (central || bytes.compare(at + sizeAt, 4, std::string(4, '\0')) != 0) {
        for (int i = 0; i < 4; ++i) bytes[at + sizeAt + i] = static_cast<char>(size >> (8 * i));
      }
      if (central) ++changed;
    }
  };
  patch("PK\3\4", 26, 30, 22, false);
  patch("PK\1\2", 28, 46, 24, true);
  return changed;
}
