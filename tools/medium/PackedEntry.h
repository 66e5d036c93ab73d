// An archive entry packed as a medium stores it: deflated, then protected
// with the traditional zip encryption, as one libzip source whose data is
// ready to be written. libzip's own encryption starts every entry with
// eleven random bytes; here they are derived from the password, the entry's
// name, size and CRC, so the same inputs always give the same archive, and
// two entries never share a header.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

struct zip;
struct zip_source;

namespace archive {

// The bytes packed so far across the archive, told to progress as a share.
// Every entry is read twice (once for its CRC, once to pack it).
struct PackingProgress {
  std::function<void(double)> report;
  uint64_t total = 0;  // bytes of all entries' inputs
  uint64_t done = 0;   // counts both readings
  void Add(uint64_t bytes);
};

// input: a libzip source of the entry's bytes, taken over. The entry keeps
// time as its time and the CRC's high byte as the password check byte.
// Raises nothing: libzip hears failures through the source.
struct zip_source* PackedEntrySource(struct zip* archive, struct zip_source* input, uint64_t size,
                                     const std::string& name, const std::string& password, int level,
                                     const std::time_t* time, PackingProgress* progress);

}  // namespace archive
