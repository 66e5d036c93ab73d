// One archive entry's data, decrypted and uncompressed, read front to back.
// libzip hands over the entry's stored bytes; decryption (traditional or
// AES), inflating and the checks of size, CRC and MAC are done here, the
// same way for encrypted and unencrypted entries.
#pragma once

#include "zip/core/XceedZipResults.h"
#include "ZipCrypto.h"

#include <zip.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class EntryStream {
public:
  virtual ~EntryStream() = default;
  // Bytes read (> 0); 0 at the end, once every check of the data passed;
  // -1 on failure, with failure() telling the result code. Never more than
  // the entry's declared size in all: data going on beyond it is cut there
  // and fails with kResultEntryTooLong.
  virtual int64_t Read(uint8_t* out, size_t size) = 0;
  XceedZipResult failure() const { return failure_; }

protected:
  int64_t Fail(XceedZipResult code) {
    failure_ = code;
    return -1;
  }
  XceedZipResult failure_ = kResultSuccess;
};

// Opens the entry with one of the passwords (tried in turn); null with the
// result code in *failure when it cannot be read.
std::unique_ptr<EntryStream> OpenEntryStream(zip_t* archive, zip_uint64_t index,
                                             const zip_stat_t& st,
                                             const std::vector<std::string>& passwords,
                                             ZipCrypto& crypto, XceedZipResult* failure);

// Reads the entry to its end, handing each piece to `sink` (may be null);
// the result code of the whole read.
template <typename Sink>
XceedZipResult DrainEntryStream(EntryStream& entry, std::vector<uint8_t>& buffer, Sink&& sink) {
  for (;;) {
    int64_t n = entry.Read(buffer.data(), buffer.size());
    if (n == 0) return kResultSuccess;
    if (n < 0) return entry.failure();
    if (!sink(buffer.data(), static_cast<size_t>(n))) return kResultWriteFailed;
  }
}
