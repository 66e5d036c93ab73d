#include "Archive.h"

#include <zip.h>

#include "vswriter/ValueWriter.h"

#include <algorithm>
#include <cstdlib>

namespace archive {
namespace {

// zlib's own default, as other packers use it: libzip's default is the
// slowest level, which gains little on installers.
constexpr zip_uint32_t kDeflateLevel = 6;

std::string ZipText(zip_error_t* error) { return zip_error_strerror(error); }

std::string ZipText(zip_t* zip) { return zip_strerror(zip); }

[[noreturn]] void Fail(const std::string& label, const std::string& why) {
  throw ToolError{label + ": " + why};
}

zip_uint16_t Method(Encryption encryption) {
  switch (encryption) {
    case Encryption::Traditional: return ZIP_EM_TRAD_PKWARE;
    case Encryption::Aes128: return ZIP_EM_AES_128;
    case Encryption::Aes256: return ZIP_EM_AES_256;
    case Encryption::None: break;
  }
  return ZIP_EM_NONE;
}

Encryption FromMethod(zip_uint16_t method, bool& unknown) {
  unknown = false;
  switch (method) {
    case ZIP_EM_NONE: return Encryption::None;
    case ZIP_EM_TRAD_PKWARE: return Encryption::Traditional;
    case ZIP_EM_AES_128: return Encryption::Aes128;
    case ZIP_EM_AES_192:
    case ZIP_EM_AES_256: return Encryption::Aes256;
    default: unknown = true; return Encryption::None;
  }
}

// UTF-8 names carry the UTF-8 mark; other bytes are stored as they are
// (readers take them as code page 437).
zip_flags_t NameFlags(const std::string& name) {
  bool ascii = true;
  for (unsigned char c : name) ascii = ascii && c < 0x80;
  std::u16string unused;
  if (ascii) return ZIP_FL_ENC_GUESS;
  return Utf16FromUtf8Text(name, unused) ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_CP437;
}

bool Packed(const EntryOptions& options) {
  return options.encryption == Encryption::Traditional && options.compression == Compression::Deflated &&
         !options.streamed;
}

// DOS times start in 1980; a day later stays there in every time zone.
constexpr std::time_t kEarliestTime = 315619200;

// SOURCE_DATE_EPOCH: the time of every entry when set.
bool FixedTime(std::time_t& time) {
  const char* text = std::getenv("SOURCE_DATE_EPOCH");
  if (!text || !*text) return false;
  char* end = nullptr;
  const long long seconds = std::strtoll(text, &end, 10);
  if (*end || seconds < 0) Fail("SOURCE_DATE_EPOCH", std::string("\"") + text + "\" is not a number of seconds");
  time = std::max<std::time_t>(static_cast<std::time_t>(seconds), kEarliestTime);
  return true;
}

}  // namespace

Writer::Writer(const std::string& path, std::string password)
    : label_(path), password_(std::move(password)) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* file = zip_source_file_create(path.c_str(), 0, -1, &error);
  if (!file) Fail(path, ZipText(&error));
  zip_error_fini(&error);
  Open(file, path);
}

Writer::Writer(std::string password) : label_("archive in memory"), password_(std::move(password)) {
  zip_error_t error;
  zip_error_init(&error);
  memory_ = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (!memory_) Fail(label_, ZipText(&error));
  zip_source_keep(memory_);  // read back after zip_close
  Open(memory_, label_);
}

void Writer::Open(zip_source_t* source, const std::string& label) {
  zip_error_t error;
  zip_error_init(&error);
  zip_ = zip_open_from_source(source, ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!zip_) {
    zip_source_free(source);
    std::string why = ZipText(&error);
    zip_error_fini(&error);
    Fail(label, why);
  }
  zip_error_fini(&error);
}

Writer::~Writer() {
  if (zip_) zip_discard(zip_);
  if (memory_) zip_source_free(memory_);
}

void Writer::Apply(int64_t index, const EntryOptions& options, const std::string& name) {
  if (index < 0) Fail(label_, name + ": " + ZipText(zip_));
  const auto entry = static_cast<zip_uint64_t>(index);
  const zip_int32_t method = options.compression == Compression::Stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
  // The entry keeps its source's time: the traditional encryption's check
  // byte is taken from it.
  if (zip_set_file_compression(zip_, entry, method, kDeflateLevel) < 0 ||
      (options.encryption != Encryption::None &&
       zip_file_set_encryption(zip_, entry, Method(options.encryption), password_.c_str()) < 0))
    Fail(label_, name + ": " + ZipText(zip_));
}

void Writer::AddPacked(const std::string& name, zip_source_t* input, uint64_t size, const std::time_t* time) {
  zip_source_t* source = PackedEntrySource(zip_, input, size, name, password_, kDeflateLevel, time, &progress_);
  if (!source) Fail(label_, name + ": " + ZipText(zip_));
  const int64_t index = zip_file_add(zip_, name.c_str(), source, NameFlags(name));
  if (index < 0) {
    zip_source_free(source);
    Fail(label_, name + ": " + ZipText(zip_));
  }
  // The data comes encrypted: the method is named without a password.
  if (zip_file_set_encryption(zip_, static_cast<zip_uint64_t>(index), ZIP_EM_TRAD_PKWARE, nullptr) < 0)
    Fail(label_, name + ": " + ZipText(zip_));
  progress_.total += size;
}

void Writer::AddBytes(const std::string& name, std::string bytes, const EntryOptions& options) {
  held_.push_back(std::move(bytes));
  if (Packed(options)) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* input = zip_source_buffer_create(held_.back().data(), held_.back().size(), 0, &error);
    if (!input) Fail(label_, name + ": " + ZipText(&error));
    AddPacked(name, input, held_.back().size(), &bytesTime_);
    return;
  }
  zip_source_t* source = zip_source_buffer(zip_, held_.back().data(), held_.back().size(), 0);
  if (!source) Fail(label_, name + ": " + ZipText(zip_));
  const int64_t index = zip_file_add(zip_, name.c_str(), source, NameFlags(name));
  if (index < 0) zip_source_free(source);
  Apply(index, options, name);
}

void Writer::AddFile(const std::string& name, const std::string& path, const EntryOptions& options) {
  if (Packed(options)) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* input = zip_source_file_create(path.c_str(), 0, -1, &error);
    if (!input) Fail(path, ZipText(&error));
    zip_stat_t stat;
    if (zip_source_stat(input, &stat) < 0 || !(stat.valid & ZIP_STAT_SIZE)) {
      const std::string why = ZipText(zip_source_error(input));
      zip_source_free(input);
      Fail(path, why);
    }
    times_.push_back(stat.valid & ZIP_STAT_MTIME ? std::max(stat.mtime, kEarliestTime) : kEarliestTime);
    AddPacked(name, input, stat.size, &times_.back());
    return;
  }
  zip_source_t* source = zip_source_file(zip_, path.c_str(), 0, -1);
  if (!source) Fail(path, ZipText(zip_));
  const int64_t index = zip_file_add(zip_, name.c_str(), source, NameFlags(name));
  if (index < 0) zip_source_free(source);
  Apply(index, options, name);
}

void Writer::AddFolder(const std::string& name) {
  if (zip_dir_add(zip_, name.c_str(), NameFlags(name)) < 0) Fail(label_, name + ": " + ZipText(zip_));
}

void Writer::Close(const std::function<void(double)>& progress) {
  std::time_t fixed;
  if (FixedTime(fixed)) {
    for (std::time_t& time : times_) time = fixed;
    bytesTime_ = fixed;
  } else {
    bytesTime_ = times_.empty() ? kEarliestTime : *std::max_element(times_.begin(), times_.end());
  }
  progress_.report = progress;
  if (zip_close(zip_) < 0) Fail(label_, ZipText(zip_));
  zip_ = nullptr;
  held_.clear();
  if (!memory_) return;
  zip_stat_t stat;
  if (zip_source_stat(memory_, &stat) < 0 || zip_source_open(memory_) < 0)
    Fail(label_, ZipText(zip_source_error(memory_)));
  bytes_.resize(stat.size);
  const zip_int64_t read = zip_source_read(memory_, bytes_.data(), bytes_.size());
  zip_source_close(memory_);
  if (read != static_cast<zip_int64_t>(stat.size)) Fail(label_, "cannot read the archive back");
}

Reader::Reader(const std::string& path) : path_(path) {
  int code = 0;
  zip_ = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (!zip_) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string why = ZipText(&error);
    zip_error_fini(&error);
    Fail(path, why);
  }
  const zip_int64_t count = zip_get_num_entries(zip_, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    if (zip_stat_index(zip_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &stat) < 0) continue;
    Entry entry;
    entry.name = stat.name ? stat.name : "";
    // libzip's guess, which the component takes as well.
    const char* guessed = zip_get_name(zip_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
    entry.componentName = guessed ? guessed : entry.name;
    entry.size = stat.size;
    entry.packedSize = stat.comp_size;
    entry.crc = stat.crc;
    entry.encryption = FromMethod(stat.encryption_method, entry.unknownEncryption);
    entry.deflated = stat.comp_method == ZIP_CM_DEFLATE;
    entry.folder = !entry.name.empty() && entry.name.back() == '/';
    total_ += entry.size;
    entries_.push_back(entry);
  }
}

Reader::~Reader() {
  if (zip_) zip_discard(zip_);
}

int Reader::Find(const std::string& name) const {
  const auto lower = [](std::string s) {
    for (char& c : s) if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
  };
  for (size_t i = 0; i < entries_.size(); ++i)
    if (lower(entries_[i].name) == lower(name)) return static_cast<int>(i);
  return -1;
}

std::string Reader::Read(int index, const std::string& password) const {
  std::string bytes;
  Stream(index, password, [&](const char* data, size_t size) { bytes.append(data, size); });
  return bytes;
}

void Reader::Stream(int index, const std::string& password,
                    const std::function<void(const char*, size_t)>& sink) const {
  const Entry& entry = entries_.at(static_cast<size_t>(index));
  zip_file_t* file = zip_fopen_index_encrypted(zip_, static_cast<zip_uint64_t>(index), 0,
                                               entry.encryption == Encryption::None ? nullptr : password.c_str());
  if (!file) Fail(entry.name, ZipText(zip_));
  std::vector<char> buffer(65536);
  zip_int64_t n;
  try {
    while ((n = zip_fread(file, buffer.data(), buffer.size())) > 0) {
      sink(buffer.data(), static_cast<size_t>(n));
      read_ += static_cast<uint64_t>(n);
      if (progress_ && total_) progress_(std::min(1.0, static_cast<double>(read_) / static_cast<double>(total_)));
    }
  } catch (...) {
    zip_fclose(file);
    throw;
  }
  std::string why = n < 0 ? zip_file_strerror(file) : "";
  const int code = n < 0 ? zip_error_code_zip(zip_file_get_error(file)) : ZIP_ER_OK;
  zip_fclose(file);
  if (code == ZIP_ER_CRC || code == ZIP_ER_ZLIB || code == ZIP_ER_COMPRESSED_DATA)
    throw ToolError{entry.name + ": " + why, true};
  if (n < 0) Fail(entry.name, why);
}

}  // namespace archive
