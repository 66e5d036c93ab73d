// Zip archives of installation media and of the test fixtures, written and
// read with libzip: "_Setup.lib" with the traditional encryption the medium
// format has, and for tests also AES, stored or deflated entries, folders
// and names as raw bytes.
#pragma once

#include "PackedEntry.h"
#include "ToolError.h"

#include <cstdint>
#include <ctime>
#include <deque>
#include <functional>
#include <string>
#include <vector>

struct zip;
struct zip_source;

namespace archive {

enum class Encryption { None, Traditional, Aes128, Aes256 };
enum class Compression { Stored, Deflated };

struct EntryOptions {
  Encryption encryption = Encryption::Traditional;
  Compression compression = Compression::Deflated;
  // Sizes and CRC in a data descriptor after the data, as streaming packers
  // write them (libzip's own encryption: a random header, the password
  // check byte from the time). Stored entries are always written so.
  bool streamed = false;
};

// Every failure of libzip or of a file raises ToolError; the text names the
// archive or the file and libzip's reason, damaged tells data that do not
// match their CRC or do not inflate.

class Writer {
public:
  // Writes the archive to path when Close() is called (libzip writes a
  // temporary file beside it and renames it into place). Encrypted entries
  // use password.
  Writer(const std::string& path, std::string password);
  // Builds the archive in memory; Close() then gives it through Bytes().
  explicit Writer(std::string password);
  ~Writer();
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  // Names are stored as the bytes given: UTF-8 names are marked as UTF-8,
  // other bytes stay unmarked (code page 437 for readers). Deflated entries
  // with the traditional encryption, not streamed, come out the same for the
  // same inputs (the CRC checks the password):
  // a file's entry has the file's time, bytes have the newest time among
  // the archive's files (1980-01-02 when there are none); SOURCE_DATE_EPOCH,
  // when set, is every entry's time.
  void AddBytes(const std::string& name, std::string bytes, const EntryOptions& options = {});
  void AddFile(const std::string& name, const std::string& path, const EntryOptions& options = {});
  void AddFolder(const std::string& name);

  // Compresses, encrypts and writes everything; progress hears the share
  // of the deflated, encrypted entries' bytes done (0 to 1).
  void Close(const std::function<void(double)>& progress = {});
  const std::string& Bytes() const { return bytes_; }

private:
  void Open(struct zip_source* source, const std::string& label);
  void Apply(int64_t index, const EntryOptions& options, const std::string& name);
  void AddPacked(const std::string& name, struct zip_source* input, uint64_t size, const std::time_t* time);

  struct zip* zip_ = nullptr;
  struct zip_source* memory_ = nullptr;
  std::string label_;
  std::string password_;
  std::deque<std::string> held_;  // bytes libzip reads at Close()
  std::deque<std::time_t> times_;  // the times of the files' packed entries
  std::time_t bytesTime_ = 0;      // the time of packed entries from bytes, set at Close()
  PackingProgress progress_;
  std::string bytes_;
};

struct Entry {
  std::string name;  // as stored
  // The name as our component reads it, in UTF-8: as stored when the entry
  // is marked as UTF-8 (or holds valid UTF-8), otherwise from code page 437.
  std::string componentName;
  uint64_t size = 0;
  uint64_t packedSize = 0;
  uint32_t crc = 0;
  Encryption encryption = Encryption::None;
  bool unknownEncryption = false;  // a method libzip cannot decrypt
  bool deflated = false;
  bool folder = false;
};

class Reader {
public:
  // Raises ToolError when the file is missing or not a zip archive.
  explicit Reader(const std::string& path);
  ~Reader();
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  const std::vector<Entry>& Entries() const { return entries_; }
  // The entry whose name equals name without regard to ASCII letter case,
  // as Windows finds files; -1 when there is none.
  int Find(const std::string& name) const;
  // The entry's bytes, decrypted with password; raises ToolError with libzip's
  // reason ("Wrong password provided", "CRC error", ...).
  std::string Read(int index, const std::string& password) const;
  // The same, a piece at a time: sink hears every piece of the entry's data
  // as it is decrypted and inflated (never the whole entry at once).
  void Stream(int index, const std::string& password, const std::function<void(const char*, size_t)>& sink) const;
  // progress hears the share of all entries' bytes read so far (0 to 1).
  void OnProgress(std::function<void(double)> progress) { progress_ = std::move(progress); }

private:
  struct zip* zip_ = nullptr;
  std::string path_;
  std::vector<Entry> entries_;
  std::function<void(double)> progress_;
  uint64_t total_ = 0;          // the entries' sizes
  mutable uint64_t read_ = 0;   // bytes read by Read() and Stream()
};

}  // namespace archive
