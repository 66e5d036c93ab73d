#include "EntryStream.h"

#include "AesCipher.h"
#include "TraditionalCipher.h"

#include <zlib.h>

#include <algorithm>
#include <ctime>

namespace {

constexpr size_t kInputBufferSize = 256 * 1024;
constexpr zip_uint64_t kUnknownSize = ~zip_uint64_t(0);

struct ZipFileCloser { void operator()(zip_file_t* file) const { zip_fclose(file); } };
using UniqueZipFile = std::unique_ptr<zip_file_t, ZipFileCloser>;

enum class Cipher { None, Traditional, Aes };

// The high byte of the entry's modification time in DOS form, which packers
// that write a data descriptor use as the password check byte.
uint8_t DosTimeCheckByte(const zip_stat_t& st) {
  time_t t = st.mtime;
  struct tm* local = (st.valid & ZIP_STAT_MTIME) ? localtime(&t) : nullptr;
  if (!local) return static_cast<uint8_t>(st.crc >> 24);
  unsigned dosTime = (local->tm_hour << 11) | (local->tm_min << 5) | (local->tm_sec >> 1);
  return static_cast<uint8_t>(dosTime >> 8);
}

class ZipEntryStream : public EntryStream {
public:
  explicit ZipEntryStream(ZipCrypto& crypto) : aesCipher_(crypto) {}
  ~ZipEntryStream() override {
    if (deflated_) inflateEnd(&inflater_);
  }

  XceedZipResult Open(zip_t* archive, zip_uint64_t index, const zip_stat_t& st,
                      const std::vector<std::string>& passwords);
  int64_t Read(uint8_t* out, size_t size) override;

private:
  XceedZipResult StartCipher(const zip_stat_t& st, const uint8_t* header,
                             const std::vector<std::string>& passwords);
  bool ReadStored(uint8_t* out, size_t size);
  bool Decrypt(uint8_t* data, size_t size);
  int64_t ReadDeflated(uint8_t* out, size_t size);
  int64_t Finish();

  Cipher cipher_ = Cipher::None;
  int strength_ = 0;
  AesCipher aesCipher_;
  TraditionalCipher traditionalCipher_;
  // With traditional encryption a wrong password slips past the check byte
  // now and then and shows as damaged data: such data errors count as a
  // password failure. AES verifiers are 16 bits, its MAC tells damage.
  XceedZipResult dataFailure_ = kResultDamagedEntry;

  UniqueZipFile raw_;
  zip_uint64_t storedLeft_ = 0;
  zip_uint64_t produced_ = 0;
  zip_uint64_t declaredSize_ = kUnknownSize;
  bool checkCrc_ = false;
  uLong expectedCrc_ = 0;
  uLong crc_ = crc32(0, nullptr, 0);
  bool deflated_ = false;
  bool streamEnded_ = false;
  bool finished_ = false;
  z_stream inflater_ = {};
  std::vector<uint8_t> input_;
};

XceedZipResult ZipEntryStream::Open(zip_t* archive, zip_uint64_t index, const zip_stat_t& st,
                                    const std::vector<std::string>& passwords) {
  zip_uint16_t encryption = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) ? st.encryption_method
                                                                     : ZIP_EM_NONE;
  switch (encryption) {
    case ZIP_EM_NONE: cipher_ = Cipher::None; break;
    case ZIP_EM_TRAD_PKWARE: cipher_ = Cipher::Traditional; break;
    case ZIP_EM_AES_128: cipher_ = Cipher::Aes; strength_ = 1; break;
    case ZIP_EM_AES_192: cipher_ = Cipher::Aes; strength_ = 2; break;
    case ZIP_EM_AES_256: cipher_ = Cipher::Aes; strength_ = 3; break;
    default: return kResultUnsupported;
  }
  // For AES entries libzip has read the AES extra field: the real
  // compression method is in comp_method.
  int method = (st.valid & ZIP_STAT_COMP_METHOD) ? st.comp_method : -1;
  if (method != ZIP_CM_STORE && method != ZIP_CM_DEFLATE) return kResultUnsupported;
  if (cipher_ != Cipher::None && passwords.empty()) return kResultPassword;
  if (cipher_ == Cipher::Traditional) dataFailure_ = kResultPassword;

  // Stored bytes as they are: libzip neither decrypts nor inflates.
  raw_.reset(zip_fopen_index(archive, index, ZIP_FL_ENCRYPTED | ZIP_FL_COMPRESSED));
  if (!raw_) return cipher_ == Cipher::None ? kResultDamagedEntry : kResultPassword;
  size_t headerLength = cipher_ == Cipher::Aes ? AesCipher::SaltLength(strength_) +
                                                     AesCipher::kVerifierLength
                        : cipher_ == Cipher::Traditional ? TraditionalCipher::kHeaderLength
                                                         : 0;
  size_t trailerLength = cipher_ == Cipher::Aes ? AesCipher::kMacLength : 0;
  if (!(st.valid & ZIP_STAT_COMP_SIZE) || st.comp_size < headerLength + trailerLength) {
    return dataFailure_;
  }
  uint8_t header[TraditionalCipher::kHeaderLength + 6];
  if (!ReadStored(header, headerLength)) return dataFailure_;
  if (XceedZipResult failure = StartCipher(st, header, passwords)) return failure;

  storedLeft_ = st.comp_size - headerLength - trailerLength;
  if (st.valid & ZIP_STAT_SIZE) declaredSize_ = st.size;
  checkCrc_ = (st.valid & ZIP_STAT_CRC) && (cipher_ != Cipher::Aes || st.crc != 0);
  expectedCrc_ = st.crc;
  if (method == ZIP_CM_DEFLATE) {
    if (inflateInit2(&inflater_, -MAX_WBITS) != Z_OK) return kResultUnsupported;
    deflated_ = true;
    input_.resize(kInputBufferSize);
  }
  return kResultSuccess;
}

// Tries the passwords in turn against the header.
XceedZipResult ZipEntryStream::StartCipher(const zip_stat_t& st, const uint8_t* header,
                                           const std::vector<std::string>& passwords) {
  if (cipher_ == Cipher::None) return kResultSuccess;
  for (const std::string& password : passwords) {
    if (cipher_ == Cipher::Aes) {
      bool cryptoFailed = false;
      bool matched = aesCipher_.Start(password, strength_, header,
                                      header + AesCipher::SaltLength(strength_), &cryptoFailed);
      if (cryptoFailed) return kResultUnsupported;
      if (matched) return kResultSuccess;
    } else if (traditionalCipher_.Start(password, header, static_cast<uint8_t>(st.crc >> 24),
                                        DosTimeCheckByte(st))) {
      return kResultSuccess;
    }
  }
  return kResultPassword;
}

bool ZipEntryStream::ReadStored(uint8_t* out, size_t size) {
  while (size > 0) {
    zip_int64_t n = zip_fread(raw_.get(), out, size);
    if (n <= 0) return false;
    out += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool ZipEntryStream::Decrypt(uint8_t* data, size_t size) {
  if (!ReadStored(data, size)) return false;
  storedLeft_ -= size;
  switch (cipher_) {
    case Cipher::None: return true;
    case Cipher::Traditional: traditionalCipher_.Decrypt(data, size); return true;
    case Cipher::Aes: return aesCipher_.Decrypt(data, size);
  }
  return false;
}

int64_t ZipEntryStream::Read(uint8_t* out, size_t size) {
  if (finished_) return 0;
  if (failure_) return -1;
  // One byte more than the declared size may still come: it tells data that
  // goes on, without producing any more of it.
  size = std::min<size_t>(size, 1u << 30);
  if (declaredSize_ != kUnknownSize) {
    size = static_cast<size_t>(std::min<zip_uint64_t>(size, declaredSize_ - produced_ + 1));
  }
  int64_t n;
  if (deflated_) {
    n = ReadDeflated(out, size);
  } else {
    n = static_cast<int64_t>(std::min<zip_uint64_t>(size, storedLeft_));
    if (n > 0 && !Decrypt(out, static_cast<size_t>(n))) return Fail(dataFailure_);
  }
  if (n < 0) return n;
  if (n == 0) return Finish();
  produced_ += static_cast<zip_uint64_t>(n);
  if (produced_ > declaredSize_) return Fail(kResultEntryTooLong);
  crc_ = crc32(crc_, out, static_cast<uInt>(n));
  return n;
}

int64_t ZipEntryStream::ReadDeflated(uint8_t* out, size_t size) {
  inflater_.next_out = out;
  inflater_.avail_out = static_cast<uInt>(size);
  while (inflater_.avail_out == size && !streamEnded_) {
    if (inflater_.avail_in == 0) {
      size_t chunk = static_cast<size_t>(std::min<zip_uint64_t>(input_.size(), storedLeft_));
      if (chunk == 0) return Fail(dataFailure_);  // data ends inside the stream
      if (!Decrypt(input_.data(), chunk)) return Fail(dataFailure_);
      inflater_.next_in = input_.data();
      inflater_.avail_in = static_cast<uInt>(chunk);
    }
    int status = inflate(&inflater_, Z_NO_FLUSH);
    if (status == Z_STREAM_END) {
      streamEnded_ = true;
    } else if (status != Z_OK && status != Z_BUF_ERROR) {
      return Fail(dataFailure_);
    }
  }
  return static_cast<int64_t>(size - inflater_.avail_out);
}

// All data is out. The MAC covers every encrypted byte, also any after the
// end of the deflate stream.
int64_t ZipEntryStream::Finish() {
  if (cipher_ == Cipher::Aes) {
    while (storedLeft_ > 0) {
      uint8_t rest[4096];
      size_t chunk = static_cast<size_t>(std::min<zip_uint64_t>(sizeof rest, storedLeft_));
      if (!Decrypt(rest, chunk)) return Fail(dataFailure_);
    }
    uint8_t mac[AesCipher::kMacLength];
    if (!ReadStored(mac, sizeof mac) || !aesCipher_.MacMatches(mac)) return Fail(dataFailure_);
  }
  if (declaredSize_ != kUnknownSize && produced_ != declaredSize_) return Fail(dataFailure_);
  if (checkCrc_ && crc_ != expectedCrc_) return Fail(dataFailure_);
  finished_ = true;
  return 0;
}

}  // namespace

std::unique_ptr<EntryStream> OpenEntryStream(zip_t* archive, zip_uint64_t index,
                                             const zip_stat_t& st,
                                             const std::vector<std::string>& passwords,
                                             ZipCrypto& crypto, XceedZipResult* failure) {
  auto stream = std::make_unique<ZipEntryStream>(crypto);
  *failure = stream->Open(archive, index, st, passwords);
  if (*failure != kResultSuccess) return nullptr;
  return stream;
}
