// One archive entry's data, decrypted and uncompressed, read front to back.
#pragma once

#include <zip.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

class EntryStream {
public:
  virtual ~EntryStream() = default;
  // Bytes read (> 0); 0 at the end, once every check of the data passed;
  // -1 on failure, with failure() telling the result code.
  virtual zip_int64_t Read(uint8_t* out, size_t size) = 0;
  LONG failure() const { return failure_; }

protected:
  zip_int64_t Fail(LONG code) {
    failure_ = code;
    return -1;
  }
  LONG failure_ = 0;
};

// Opens the entry with one of the passwords (tried in turn); null with the
// result code in *failure when it cannot be read.
std::unique_ptr<EntryStream> OpenEntryStream(zip_t* archive, zip_uint64_t index,
                                             const zip_stat_t& st,
                                             const std::vector<std::string>& passwords,
                                             LONG* failure);
