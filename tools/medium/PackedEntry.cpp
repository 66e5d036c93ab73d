#include "PackedEntry.h"

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <vector>

namespace archive {
namespace {

constexpr size_t kChunk = 256 * 1024;
constexpr size_t kHeaderLength = 12;

// The traditional zip cipher's three keys, stirred with CRC-32 steps.
class Keys {
public:
  explicit Keys(const std::string& password) {
    for (unsigned char c : password) Update(c);
  }
  void Update(uint8_t plain) {
    keys_[0] = Crc(keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = Crc(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
  }
  uint8_t Stream() const {
    const uint32_t t = (keys_[2] | 2) & 0xFFFF;
    return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
  }
  void Encrypt(uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
      const uint8_t plain = data[i];
      data[i] = static_cast<uint8_t>(plain ^ Stream());
      Update(plain);
    }
  }

private:
  static uint32_t Crc(uint32_t crc, uint8_t byte) { return kTable[(crc ^ byte) & 0xFF] ^ (crc >> 8); }
  static inline const z_crc_t* const kTable = get_crc_table();
  uint32_t keys_[3] = {0x12345678, 0x23456789, 0x34567890};
};

class PackedEntry {
public:
  PackedEntry(zip_source_t* input, uint64_t size, std::string name, std::string password, int level,
              const std::time_t* time, PackingProgress* progress)
      : input_(input), size_(size), name_(std::move(name)), password_(std::move(password)), level_(level),
        time_(time), progress_(progress) {
    zip_error_init(&error_);
  }
  ~PackedEntry() {
    if (deflating_) deflateEnd(&stream_);
    zip_source_free(input_);
    zip_error_fini(&error_);
  }

  static zip_int64_t Call(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* entry = static_cast<PackedEntry*>(state);
    switch (command) {
      case ZIP_SOURCE_OPEN: return entry->Open();
      case ZIP_SOURCE_READ: return entry->Read(static_cast<uint8_t*>(data), length);
      case ZIP_SOURCE_CLOSE: return entry->Close();
      case ZIP_SOURCE_STAT: return entry->Stat(static_cast<zip_stat_t*>(data));
      case ZIP_SOURCE_ERROR: return zip_error_to_data(&entry->error_, data, length);
      case ZIP_SOURCE_FREE: delete entry; return 0;
      case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
      default: zip_error_set(&entry->error_, ZIP_ER_OPNOTSUPP, 0); return -1;
    }
  }

private:
  zip_int64_t Fail(int code) {
    zip_error_set(&error_, code, 0);
    return -1;
  }
  zip_int64_t InputFailed() {
    zip_error_set(&error_, zip_error_code_zip(zip_source_error(input_)), zip_error_code_system(zip_source_error(input_)));
    return -1;
  }

  // The first reading: the CRC, then the header.
  zip_int64_t Open() {
    if (zip_source_open(input_) < 0) return InputFailed();
    std::vector<uint8_t> buffer(kChunk);
    uLong crc = crc32(0, nullptr, 0);
    zip_int64_t n;
    while ((n = zip_source_read(input_, buffer.data(), buffer.size())) > 0) {
      crc = crc32(crc, buffer.data(), static_cast<uInt>(n));
      if (progress_) progress_->Add(static_cast<uint64_t>(n));
    }
    zip_source_close(input_);
    if (n < 0) return InputFailed();
    crc_ = static_cast<uint32_t>(crc);
    known_ = true;

    // The header's first eleven bytes: a keyed stir of name, size and CRC
    // through the cipher's own key schedule.
    Keys stir(password_);
    for (unsigned char c : name_) stir.Update(c);
    for (int i = 0; i < 8; ++i) stir.Update(static_cast<uint8_t>(size_ >> (8 * i)));
    for (int i = 0; i < 4; ++i) stir.Update(static_cast<uint8_t>(crc_ >> (8 * i)));
    pending_.assign(kHeaderLength, 0);
    for (size_t i = 0; i + 1 < kHeaderLength; ++i) {
      pending_[i] = stir.Stream();
      stir.Update(static_cast<uint8_t>(i));
    }
    pending_[kHeaderLength - 1] = static_cast<uint8_t>(crc_ >> 24);  // no data descriptor: the CRC checks
    keys_ = Keys(password_);
    keys_.Encrypt(pending_.data(), pending_.size());
    at_ = 0;

    if (zip_source_open(input_) < 0) return InputFailed();
    stream_ = z_stream{};
    if (deflateInit2(&stream_, level_, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
      zip_source_close(input_);
      return Fail(ZIP_ER_ZLIB);
    }
    deflating_ = true;
    input_buffer_.resize(kChunk);
    ended_ = inputEnded_ = false;
    return 0;
  }

  zip_int64_t Read(uint8_t* out, zip_uint64_t length) {
    zip_uint64_t given = 0;
    while (given < length) {
      if (at_ < pending_.size()) {
        const size_t n = static_cast<size_t>(std::min<zip_uint64_t>(length - given, pending_.size() - at_));
        std::copy(pending_.begin() + static_cast<std::ptrdiff_t>(at_),
                  pending_.begin() + static_cast<std::ptrdiff_t>(at_ + n), out + given);
        at_ += n;
        given += n;
        continue;
      }
      if (ended_) break;
      if (Produce() < 0) return -1;
    }
    return static_cast<zip_int64_t>(given);
  }

  // Deflates the next piece of input into pending_, encrypted.
  int Produce() {
    if (stream_.avail_in == 0 && !inputEnded_) {
      const zip_int64_t n = zip_source_read(input_, input_buffer_.data(), input_buffer_.size());
      if (n < 0) return static_cast<int>(InputFailed());
      inputEnded_ = n == 0;
      stream_.next_in = input_buffer_.data();
      stream_.avail_in = static_cast<uInt>(n);
      if (progress_) progress_->Add(static_cast<uint64_t>(n));
    }
    pending_.resize(kChunk);
    stream_.next_out = pending_.data();
    stream_.avail_out = static_cast<uInt>(pending_.size());
    const int result = deflate(&stream_, inputEnded_ ? Z_FINISH : Z_NO_FLUSH);
    if (result == Z_STREAM_ERROR) return static_cast<int>(Fail(ZIP_ER_ZLIB));
    ended_ = result == Z_STREAM_END;
    pending_.resize(pending_.size() - stream_.avail_out);
    keys_.Encrypt(pending_.data(), pending_.size());
    at_ = 0;
    return 0;
  }

  zip_int64_t Close() {
    if (deflating_) deflateEnd(&stream_);
    deflating_ = false;
    zip_source_close(input_);
    return 0;
  }

  zip_int64_t Stat(zip_stat_t* st) {
    zip_stat_init(st);
    st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD | ZIP_STAT_MTIME;
    st->size = size_;
    st->comp_method = ZIP_CM_DEFLATE;
    st->encryption_method = ZIP_EM_TRAD_PKWARE;
    st->mtime = *time_;
    if (known_) {
      st->valid |= ZIP_STAT_CRC;
      st->crc = crc_;
    }
    return sizeof(zip_stat_t);
  }

  zip_source_t* input_;
  uint64_t size_;
  std::string name_, password_;
  int level_;
  const std::time_t* time_;
  PackingProgress* progress_;
  zip_error_t error_;

  bool known_ = false;
  uint32_t crc_ = 0;
  Keys keys_{std::string()};
  z_stream stream_{};
  bool deflating_ = false;
  std::vector<uint8_t> input_buffer_;
  std::vector<uint8_t> pending_;  // encrypted bytes not yet given
  size_t at_ = 0;
  bool inputEnded_ = false, ended_ = false;
};

}  // namespace

void PackingProgress::Add(uint64_t bytes) {
  done += bytes;
  if (report && total > 0) report(std::min(1.0, static_cast<double>(done) / (2.0 * static_cast<double>(total))));
}

zip_source_t* PackedEntrySource(zip_t* archive, zip_source_t* input, uint64_t size, const std::string& name,
                                const std::string& password, int level, const std::time_t* time,
                                PackingProgress* progress) {
  auto* entry = new PackedEntry(input, size, name, password, level, time, progress);
  zip_source_t* source = zip_source_function(archive, &PackedEntry::Call, entry);
  if (!source) delete entry;
  return source;
}

}  // namespace archive
