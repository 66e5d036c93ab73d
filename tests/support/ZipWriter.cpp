#include "ZipWriter.h"

#include "Archive.h"

std::string TZipWriter::Archive() const {
  archive::Writer writer(password_);
  archive::EntryOptions options;
  options.compression = archive::Compression::Stored;
  options.encryption = password_.empty() ? archive::Encryption::None : archive::Encryption::Traditional;
  for (const auto& [name, bytes] : entries_) writer.AddBytes(name, bytes, options);
  writer.Close();
  return writer.Bytes();
}
