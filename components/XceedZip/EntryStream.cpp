#include "EntryStream.h"

#include "ResultCodes.h"
#include "TraditionalCipher.h"
#include "AesCipher.h"

#include <zlib.h>

#include <algorithm>
#include <ctime>

namespace {

constexpr size_t kInputBufferSize = 256 * 1024;

struct ZipFileCloser { void operator()(zip_file_t* file) const { zip_fclose(file); } };
using UniqueZipFile = std::unique_ptr<zip_file_t, ZipFileCloser>;

LONG OpenFailure(zip_t* archive, bool encrypted) {
  switch (zip_error_code_zip(zip_get_error(archive))) {
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD: return kResultPassword;
    case ZIP_ER_COMPNOTSUPP:
    case ZIP_ER_ENCRNOTSUPP: return kResultUnsupported;
    default: return encrypted ? kResultPassword : kResultDamagedEntry;
  }
}

bool IsAes(const zip_stat_t& st) {
  return (st.valid & ZIP_STAT_ENCRYPTION_METHOD) &&
         (st.encryption_method == ZIP_EM_AES_128 || st.encryption_method == ZIP_EM_AES_192 ||
          st.encryption_method == ZIP_EM_AES_256);
}

bool IsEncrypted(const zip_stat_t& st) {
  return (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
}

// Unencrypted entries: libzip inflates and checks the CRC.
class LibzipEntryStream : public EntryStream {
public:
  explicit LibzipEntryStream(UniqueZipFile file) : file_(std::move(file)) {}

  zip_int64_t Read(uint8_t* out, size_t size) override {
    zip_int64_t n = zip_fread(file_.get(), out, size);
    if (n < 0) return Fail(kResultDamagedEntry);
    return n;
  }

private:
  UniqueZipFile file_;
};

// The high byte of the entry's modification time in DOS form, which packers
// that write a data descriptor use as the password check byte.
uint8_t DosTimeCheckByte(const zip_stat_t& st) {
  time_t t = st.mtime;
  struct tm* local = (st.valid & ZIP_STAT_MTIME) ? localtime(&t) : nullptr;
  if (!local) return static_cast<uint8_t>(st.crc >> 24);
  unsigned dosTime = (local->tm_hour << 11) | (local->tm_min << 5) | (local->tm_sec >> 1);
  return static_cast<uint8_t>(dosTime >> 8);
}

// Encrypted entries, traditional or AES: libzip hands over the stored
// bytes, we decrypt, inflate, and check the MAC (AES), the size and the CRC
// (AE-2 entries leave it zero and rely on the MAC alone).
class EncryptedEntryStream : public EntryStream {
public:
  ~EncryptedEntryStream() override {
    if (deflated_) inflateEnd(&inflater_);
  }

  LONG Open(zip_t* archive, zip_uint64_t index, const zip_stat_t& st,
            const std::vector<std::string>& passwords);
  zip_int64_t Read(uint8_t* out, size_t size) override;

private:
  LONG StartCipher(const zip_stat_t& st, const uint8_t* header,
                   const std::vector<std::string>& passwords);
  bool ReadStored(uint8_t* out, size_t size);
  bool Decrypt(uint8_t* data, size_t size);
  zip_int64_t ReadDeflated(uint8_t* out, size_t size);
  zip_int64_t Finish();

  bool aes_ = false;
  int strength_ = 0;
  AesCipher aesCipher_;
  TraditionalCipher traditionalCipher_;
  // With traditional encryption a wrong password slips past the check byte
  // now and then and shows as damaged data: such data errors count as a
  // password failure. AES verifiers are 16 bits, its MAC tells damage.
  LONG dataFailure_ = kResultPassword;

  UniqueZipFile raw_;
  zip_uint64_t encryptedLeft_ = 0;
  zip_uint64_t produced_ = 0;
  zip_uint64_t expectedSize_ = 0;
  bool checkCrc_ = false;
  uLong expectedCrc_ = 0;
  uLong crc_ = crc32(0, nullptr, 0);
  bool deflated_ = false;
  bool streamEnded_ = false;
  bool finished_ = false;
  z_stream inflater_ = {};
  std::vector<uint8_t> input_;
};

LONG EncryptedEntryStream::Open(zip_t* archive, zip_uint64_t index, const zip_stat_t& st,
                                const std::vector<std::string>& passwords) {
  aes_ = IsAes(st);
  if (!aes_ && st.encryption_method != ZIP_EM_TRAD_PKWARE) return kResultUnsupported;
  // For AES entries libzip has read the AES extra field: the key strength is
  // in the encryption method, the real compression method in comp_method.
  strength_ = st.encryption_method == ZIP_EM_AES_128 ? 1
              : st.encryption_method == ZIP_EM_AES_192 ? 2 : 3;
  int method = (st.valid & ZIP_STAT_COMP_METHOD) ? st.comp_method : -1;
  if (method != ZIP_CM_STORE && method != ZIP_CM_DEFLATE) return kResultUnsupported;
  if (passwords.empty()) return kResultPassword;
  if (aes_) dataFailure_ = kResultDamagedEntry;

  // Stored bytes as they are: libzip neither decrypts nor inflates.
  raw_.reset(zip_fopen_index(archive, index, ZIP_FL_ENCRYPTED | ZIP_FL_COMPRESSED));
  if (!raw_) return OpenFailure(archive, true);
  size_t headerLength = aes_ ? AesCipher::SaltLength(strength_) + AesCipher::kVerifierLength
                             : TraditionalCipher::kHeaderLength;
  size_t trailerLength = aes_ ? AesCipher::kMacLength : 0;
  if (!(st.valid & ZIP_STAT_COMP_SIZE) || st.comp_size < headerLength + trailerLength) {
    return dataFailure_;
  }
  uint8_t header[TraditionalCipher::kHeaderLength + 6];
  if (!ReadStored(header, headerLength)) return dataFailure_;
  if (LONG failure = StartCipher(st, header, passwords)) return failure;

  encryptedLeft_ = st.comp_size - headerLength - trailerLength;
  expectedSize_ = (st.valid & ZIP_STAT_SIZE) ? st.size : ~zip_uint64_t(0);
  checkCrc_ = (st.valid & ZIP_STAT_CRC) && (!aes_ || st.crc != 0);
  expectedCrc_ = st.crc;
  if (method == ZIP_CM_DEFLATE) {
    if (inflateInit2(&inflater_, -MAX_WBITS) != Z_OK) return kResultUnsupported;
    deflated_ = true;
    input_.resize(kInputBufferSize);
  }
  return kResultSuccess;
}

// Tries the passwords in turn against the header.
LONG EncryptedEntryStream::StartCipher(const zip_stat_t& st, const uint8_t* header,
                                       const std::vector<std::string>& passwords) {
  for (const std::string& password : passwords) {
    if (aes_) {
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

bool EncryptedEntryStream::ReadStored(uint8_t* out, size_t size) {
  while (size > 0) {
    zip_int64_t n = zip_fread(raw_.get(), out, size);
    if (n <= 0) return false;
    out += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool EncryptedEntryStream::Decrypt(uint8_t* data, size_t size) {
  if (!ReadStored(data, size)) return false;
  encryptedLeft_ -= size;
  if (aes_) return aesCipher_.Decrypt(data, size);
  traditionalCipher_.Decrypt(data, size);
  return true;
}

zip_int64_t EncryptedEntryStream::Read(uint8_t* out, size_t size) {
  if (finished_) return 0;
  if (failure_) return -1;
  zip_int64_t n;
  if (deflated_) {
    n = ReadDeflated(out, size);
  } else {
    n = static_cast<zip_int64_t>(std::min<zip_uint64_t>(size, encryptedLeft_));
    if (n > 0 && !Decrypt(out, static_cast<size_t>(n))) return Fail(dataFailure_);
  }
  if (n < 0) return n;
  if (n == 0) return Finish();
  crc_ = crc32(crc_, out, static_cast<uInt>(n));
  produced_ += static_cast<zip_uint64_t>(n);
  if (produced_ > expectedSize_) return Fail(dataFailure_);
  return n;
}

zip_int64_t EncryptedEntryStream::ReadDeflated(uint8_t* out, size_t size) {
  size = std::min<size_t>(size, 1u << 30);
  inflater_.next_out = out;
  inflater_.avail_out = static_cast<uInt>(size);
  while (inflater_.avail_out == size && !streamEnded_) {
    if (inflater_.avail_in == 0) {
      size_t chunk = static_cast<size_t>(std::min<zip_uint64_t>(input_.size(), encryptedLeft_));
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
  return static_cast<zip_int64_t>(size - inflater_.avail_out);
}

// All data is out. The MAC covers every encrypted byte, also any after the
// end of the deflate stream.
zip_int64_t EncryptedEntryStream::Finish() {
  while (encryptedLeft_ > 0) {
    uint8_t rest[4096];
    size_t chunk = static_cast<size_t>(std::min<zip_uint64_t>(sizeof rest, encryptedLeft_));
    if (!Decrypt(rest, chunk)) return Fail(dataFailure_);
  }
  if (aes_) {
    uint8_t mac[AesCipher::kMacLength];
    if (!ReadStored(mac, sizeof mac) || !aesCipher_.MacMatches(mac)) return Fail(dataFailure_);
  }
  if (expectedSize_ != ~zip_uint64_t(0) && produced_ != expectedSize_) return Fail(dataFailure_);
  if (checkCrc_ && crc_ != expectedCrc_) return Fail(dataFailure_);
  finished_ = true;
  return 0;
}

}  // namespace

std::unique_ptr<EntryStream> OpenEntryStream(zip_t* archive, zip_uint64_t index,
                                             const zip_stat_t& st,
                                             const std::vector<std::string>& passwords,
                                             LONG* failure) {
  *failure = kResultSuccess;
  if (IsEncrypted(st)) {
    auto stream = std::make_unique<EncryptedEntryStream>();
    *failure = stream->Open(archive, index, st, passwords);
    if (*failure != kResultSuccess) return nullptr;
    return stream;
  }
  UniqueZipFile file(zip_fopen_index(archive, index, 0));
  if (!file) {
    *failure = OpenFailure(archive, false);
    return nullptr;
  }
  return std::make_unique<LibzipEntryStream>(std::move(file));
}
