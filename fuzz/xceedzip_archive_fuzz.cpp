// The zip component's archive data path on arbitrary archives: libzip reads
// the directory, the entries' data go through decryption, inflating and the
// checks with the medium's password. Whatever the input, an entry never
// yields more than it declares, and a success yields exactly that.
#include "EntryStream.h"
#include "app/core/MediumNames.h"
#include "NettleCrypto.h"

#include <cstdlib>

namespace {

constexpr zip_int64_t kMaxEntries = 16;

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
  zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  zip_error_fini(&error);
  if (!archive) {
    if (source) zip_source_free(source);
    return 0;
  }
  NettleCrypto crypto;
  const std::vector<std::string> passwords = {medium::kArchivePassword};
  std::vector<uint8_t> buffer(16384);
  zip_int64_t count = std::min(zip_get_num_entries(archive, 0), kMaxEntries);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t st;
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &st) != 0) continue;
    XceedZipResult failure = kResultSuccess;
    std::unique_ptr<EntryStream> entry =
        OpenEntryStream(archive, static_cast<zip_uint64_t>(i), st, passwords, crypto, &failure);
    if (!entry) {
      Check(failure != kResultSuccess);
      continue;
    }
    zip_uint64_t total = 0;
    XceedZipResult result = DrainEntryStream(*entry, buffer, [&](const uint8_t*, size_t n) {
      total += n;
      return true;
    });
    if (st.valid & ZIP_STAT_SIZE) {
      Check(total <= st.size);
      if (result == kResultSuccess) Check(total == st.size);
    }
  }
  zip_discard(archive);
  return 0;
}
