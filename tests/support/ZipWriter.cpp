#include "ZipWriter.h"

#include "Archive.h"

#include <zlib.h>

std::string TZipWriter::Archive() const {
  archive::Writer writer(password_);
  archive::EntryOptions options;
  options.compression = archive::Compression::Stored;
  options.encryption = password_.empty() ? archive::Encryption::None : archive::Encryption::Traditional;
  for (const auto& [name, bytes] : entries_) writer.AddBytes(name, bytes, options);
  writer.Close();
  return writer.Bytes();
}

uint32_t Crc32(const std::string& bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32_z(crc, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
  return static_cast<uint32_t>(crc);
}
