#include "EntryStream.h"

#include "ResultCodes.h"
#include "WinZipAes.h"

#include <zlib.h>

#include <algorithm>

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

// Unencrypted and traditionally encrypted entries: libzip does everything.
class LibzipEntryStream : public EntryStream {
public:
  LibzipEntryStream(UniqueZipFile file, bool encrypted)
      : file_(std::move(file)), encrypted_(encrypted) {}

  zip_int64_t Read(uint8_t* out, size_t size) override {
    zip_int64_t n = zip_fread(file_.get(), out, size);
    // With traditional encryption a wrong password slips past the check byte
    // once in 256 times and then shows as damaged data.
    if (n < 0) return Fail(encrypted_ ? kResultPassword : kResultDamagedEntry);
    return n;
  }

private:
  UniqueZipFile file_;
  bool encrypted_;
};

// WinZip AES entries: libzip hands over the stored bytes, we decrypt, check
// the MAC, inflate and check the size and, where there is one, the CRC.
class AesEntryStream : public EntryStream {
public:
  ~AesEntryStream() override {
    if (deflated_) inflateEnd(&inflater_);
  }

  LONG Open(zip_t* archive, zip_uint64_t index, const zip_stat_t& st,
            const std::vector<std::string>& passwords);
  zip_int64_t Read(uint8_t* out, size_t size) override;

private:
  bool ReadStored(uint8_t* out, size_t size);
  bool Decrypt(uint8_t* data, size_t size);
  zip_int64_t ReadDeflated(uint8_t* out, size_t size);
  zip_int64_t Finish();

  UniqueZipFile raw_;
  WinZipAes aes_;
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

LONG AesEntryStream::Open(zip_t* archive, zip_uint64_t index, const zip_stat_t& st,
                          const std::vector<std::string>& passwords) {
  // libzip has read the AES extra field: key strength in the encryption
  // method, the real compression method in comp_method.
  int strength = st.encryption_method == ZIP_EM_AES_128 ? 1
                 : st.encryption_method == ZIP_EM_AES_192 ? 2 : 3;
  int method = (st.valid & ZIP_STAT_COMP_METHOD) ? st.comp_method : -1;
  if (method != ZIP_CM_STORE && method != ZIP_CM_DEFLATE) return kResultUnsupported;
  if (passwords.empty()) return kResultPassword;

  // Stored bytes as they are: libzip neither decrypts nor inflates.
  raw_.reset(zip_fopen_index(archive, index, ZIP_FL_ENCRYPTED | ZIP_FL_COMPRESSED));
  if (!raw_) return OpenFailure(archive, true);
  size_t saltLength = WinZipAes::SaltLength(strength);
  size_t overhead = saltLength + WinZipAes::kVerifierLength + WinZipAes::kMacLength;
  if (!(st.valid & ZIP_STAT_COMP_SIZE) || st.comp_size < overhead) return kResultDamagedEntry;
  uint8_t header[16 + WinZipAes::kVerifierLength];
  if (!ReadStored(header, saltLength + WinZipAes::kVerifierLength)) return kResultDamagedEntry;

  bool matched = false;
  for (const std::string& password : passwords) {
    bool cryptoFailed = false;
    matched = aes_.Start(password, strength, header, header + saltLength, &cryptoFailed);
    if (cryptoFailed) return kResultUnsupported;
    if (matched) break;
  }
  if (!matched) return kResultPassword;

  encryptedLeft_ = st.comp_size - overhead;
  expectedSize_ = (st.valid & ZIP_STAT_SIZE) ? st.size : ~zip_uint64_t(0);
  // AE-2 entries leave the CRC zero and rely on the MAC alone.
  checkCrc_ = (st.valid & ZIP_STAT_CRC) && st.crc != 0;
  expectedCrc_ = st.crc;
  if (method == ZIP_CM_DEFLATE) {
    if (inflateInit2(&inflater_, -MAX_WBITS) != Z_OK) return kResultUnsupported;
    deflated_ = true;
    input_.resize(kInputBufferSize);
  }
  return kResultSuccess;
}

bool AesEntryStream::ReadStored(uint8_t* out, size_t size) {
  while (size > 0) {
    zip_int64_t n = zip_fread(raw_.get(), out, size);
    if (n <= 0) return false;
    out += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool AesEntryStream::Decrypt(uint8_t* data, size_t size) {
  if (!ReadStored(data, size)) return false;
  encryptedLeft_ -= size;
  return aes_.Decrypt(data, size);
}

zip_int64_t AesEntryStream::Read(uint8_t* out, size_t size) {
  if (finished_) return 0;
  if (failure_) return -1;
  zip_int64_t n;
  if (deflated_) {
    n = ReadDeflated(out, size);
  } else {
    n = static_cast<zip_int64_t>(std::min<zip_uint64_t>(size, encryptedLeft_));
    if (n > 0 && !Decrypt(out, static_cast<size_t>(n))) return Fail(kResultDamagedEntry);
  }
  if (n < 0) return n;
  if (n == 0) return Finish();
  crc_ = crc32(crc_, out, static_cast<uInt>(n));
  produced_ += static_cast<zip_uint64_t>(n);
  if (produced_ > expectedSize_) return Fail(kResultDamagedEntry);
  return n;
}

zip_int64_t AesEntryStream::ReadDeflated(uint8_t* out, size_t size) {
  size = std::min<size_t>(size, 1u << 30);
  inflater_.next_out = out;
  inflater_.avail_out = static_cast<uInt>(size);
  while (inflater_.avail_out == size && !streamEnded_) {
    if (inflater_.avail_in == 0) {
      size_t chunk = static_cast<size_t>(std::min<zip_uint64_t>(input_.size(), encryptedLeft_));
      if (chunk == 0) return Fail(kResultDamagedEntry);  // data ends inside the stream
      if (!Decrypt(input_.data(), chunk)) return Fail(kResultDamagedEntry);
      inflater_.next_in = input_.data();
      inflater_.avail_in = static_cast<uInt>(chunk);
    }
    int status = inflate(&inflater_, Z_NO_FLUSH);
    if (status == Z_STREAM_END) {
      streamEnded_ = true;
    } else if (status != Z_OK && status != Z_BUF_ERROR) {
      return Fail(kResultDamagedEntry);
    }
  }
  return static_cast<zip_int64_t>(size - inflater_.avail_out);
}

// All data is out: the MAC covers every encrypted byte, also any after the
// end of the deflate stream.
zip_int64_t AesEntryStream::Finish() {
  while (encryptedLeft_ > 0) {
    uint8_t rest[4096];
    size_t chunk = static_cast<size_t>(std::min<zip_uint64_t>(sizeof rest, encryptedLeft_));
    if (!Decrypt(rest, chunk)) return Fail(kResultDamagedEntry);
  }
  uint8_t mac[WinZipAes::kMacLength];
  if (!ReadStored(mac, sizeof mac) || !aes_.MacMatches(mac)) return Fail(kResultDamagedEntry);
  if (expectedSize_ != ~zip_uint64_t(0) && produced_ != expectedSize_) {
    return Fail(kResultDamagedEntry);
  }
  if (checkCrc_ && crc_ != expectedCrc_) return Fail(kResultDamagedEntry);
  finished_ = true;
  return 0;
}

}  // namespace

std::unique_ptr<EntryStream> OpenEntryStream(zip_t* archive, zip_uint64_t index,
                                             const zip_stat_t& st,
                                             const std::vector<std::string>& passwords,
                                             LONG* failure) {
  *failure = kResultSuccess;
  if (IsAes(st)) {
    auto stream = std::make_unique<AesEntryStream>();
    *failure = stream->Open(archive, index, st, passwords);
    if (*failure != kResultSuccess) return nullptr;
    return stream;
  }
  bool encrypted = IsEncrypted(st);
  if (!encrypted || passwords.empty()) {
    UniqueZipFile file(zip_fopen_index(archive, index, 0));
    if (!file) *failure = OpenFailure(archive, encrypted);
    return file ? std::make_unique<LibzipEntryStream>(std::move(file), encrypted) : nullptr;
  }
  for (const std::string& password : passwords) {
    UniqueZipFile file(zip_fopen_index_encrypted(archive, index, 0, password.c_str()));
    if (file) return std::make_unique<LibzipEntryStream>(std::move(file), true);
    *failure = OpenFailure(archive, true);
    if (*failure != kResultPassword) break;
  }
  return nullptr;
}
