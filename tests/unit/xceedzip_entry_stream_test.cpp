// The zip component's data path: an entry's stored bytes decrypted, inflated
// and checked, on archives written by the host's libzip.
#include "EntryStream.h"
#include "NettleCrypto.h"
#include "app/core/MediumNames.h"

#include "../support/ZipBytes.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const char* const kPassword = medium::kArchivePassword;

struct Entry {
  std::string name;
  std::string data;
  int32_t method = ZIP_CM_DEFLATE;
  uint16_t encryption = ZIP_EM_NONE;
};

std::string MakeArchive(const std::vector<Entry>& entries) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_source_keep(buffer);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  for (const Entry& e : entries) {
    zip_source_t* data = zip_source_buffer(archive, e.data.data(), e.data.size(), 0);
    zip_int64_t index = zip_file_add(archive, e.name.c_str(), data, 0);
    EXPECT_EQ(zip_set_file_compression(archive, index, e.method, 0), 0);
    if (e.encryption != ZIP_EM_NONE) {
      EXPECT_EQ(zip_file_set_encryption(archive, index, e.encryption, kPassword), 0);
    }
  }
  EXPECT_EQ(zip_close(archive), 0);
  std::string bytes;
  zip_source_open(buffer);
  char block[65536];
  for (zip_int64_t n; (n = zip_source_read(buffer, block, sizeof block)) > 0;) bytes.append(block, n);
  zip_source_close(buffer);
  zip_source_free(buffer);
  return bytes;
}

struct Extracted {
  XceedZipResult result;
  std::string data;
};

Extracted Extract(const std::string& archive, const std::vector<std::string>& passwords = {kPassword}) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(archive.data(), archive.size(), 0, &error);
  zip_t* za = zip_open_from_source(source, ZIP_RDONLY, &error);
  EXPECT_NE(za, nullptr);
  if (!za) return {kResultArchiveUnreadable, ""};
  zip_stat_t st;
  EXPECT_EQ(zip_stat_index(za, 0, 0, &st), 0);
  NettleCrypto crypto;
  Extracted out{kResultSuccess, ""};
  std::unique_ptr<EntryStream> entry = OpenEntryStream(za, 0, st, passwords, crypto, &out.result);
  if (entry) {
    std::vector<uint8_t> buffer(4096);
    out.result = DrainEntryStream(*entry, buffer, [&](const uint8_t* data, size_t size) {
      out.data.append(reinterpret_cast<const char*>(data), size);
      return true;
    });
  }
  zip_discard(za);
  return out;
}

// Half text, half random bytes: both kinds of deflate blocks.
std::string Content(size_t size) {
  std::mt19937 random(4711);
  std::string data;
  while (data.size() < size) {
    data += "Installation bitte warten ";
    for (int i = 0; i < 40; ++i) data += static_cast<char>(random());
  }
  data.resize(size);
  return data;
}

const uint16_t kCiphers[] = {ZIP_EM_NONE, ZIP_EM_TRAD_PKWARE, ZIP_EM_AES_128, ZIP_EM_AES_192,
                             ZIP_EM_AES_256};

TEST(ZipEntryData, EveryMethodAndCipherGivesBackTheData) {
  const std::string data = Content(300000);
  for (int32_t method : {ZIP_CM_STORE, ZIP_CM_DEFLATE}) {
    for (uint16_t cipher : kCiphers) {
      std::string archive = MakeArchive({{"a.bin", data, method, cipher}});
      Extracted out = Extract(archive, {"wrong", kPassword});
      EXPECT_EQ(out.result, kResultSuccess) << method << " " << cipher;
      EXPECT_TRUE(out.data == data) << method << " " << cipher;
    }
  }
  EXPECT_EQ(Extract(MakeArchive({{"empty", ""}})).result, kResultSuccess);
}

TEST(ZipEntryData, AWrongOrMissingPasswordIsAPasswordFailure) {
  for (uint16_t cipher : {ZIP_EM_TRAD_PKWARE, ZIP_EM_AES_256}) {
    std::string archive = MakeArchive({{"a.bin", Content(5000), ZIP_CM_DEFLATE, cipher}});
    EXPECT_EQ(Extract(archive, {"K470396"}).result, kResultPassword) << cipher;
    EXPECT_EQ(Extract(archive, {}).result, kResultPassword) << cipher;
  }
}

TEST(ZipEntryData, DamagedDataIsCaughtByCrcOrMac) {
  struct Case {
    int32_t method;
    uint16_t cipher;
    XceedZipResult result;
  };
  // Traditional encryption cannot tell damage from a password that slipped
  // past its check byte.
  for (Case c : {Case{ZIP_CM_STORE, ZIP_EM_NONE, kResultDamagedEntry},
                 Case{ZIP_CM_DEFLATE, ZIP_EM_NONE, kResultDamagedEntry},
                 Case{ZIP_CM_STORE, ZIP_EM_TRAD_PKWARE, kResultPassword},
                 Case{ZIP_CM_STORE, ZIP_EM_AES_128, kResultDamagedEntry}}) {
    std::string archive = MakeArchive({{"a.bin", Content(5000), c.method, c.cipher}});
    archive[30 + 5 + 2000] ^= 0x20;  // inside the data, after name and headers
    EXPECT_EQ(Extract(archive).result, c.result) << c.method << " " << c.cipher;
  }
}

TEST(ZipEntryData, AnAesEntryWhoseAuthenticationCodeDiffersFailsThoughItsCrcMatches) {
  std::string archive = MakeArchive({{"a.bin", Content(5000), ZIP_CM_STORE, ZIP_EM_AES_128}});
  const auto at = [&](size_t offset) { return static_cast<uint8_t>(archive[offset]); };
  const size_t dataStart = 30 + (at(26) | at(27) << 8) + (at(28) | at(29) << 8);
  const size_t stored = at(18) | at(19) << 8 | at(20) << 16 | static_cast<size_t>(at(21)) << 24;
  archive[dataStart + stored - 1] ^= 0x20;  // the code's last byte, after all data
  EXPECT_EQ(Extract(archive).result, kResultDamagedEntry);
}

TEST(ZipEntryData, DataGoingOnBeyondTheDeclaredSizeIsCutThereAndFails) {
  for (int32_t method : {ZIP_CM_STORE, ZIP_CM_DEFLATE}) {
    for (uint16_t cipher : kCiphers) {
      std::string archive = MakeArchive({{"a.bin", Content(100000), method, cipher}});
      ASSERT_EQ(SetDeclaredSize(archive, "a.bin", 1000), 1);
      Extracted out = Extract(archive);
      EXPECT_EQ(out.result, kResultEntryTooLong) << method << " " << cipher;
      EXPECT_LE(out.data.size(), 1000u) << method << " " << cipher;
    }
  }
}

TEST(ZipEntryData, OtherCompressionMethodsAreNotSupported) {
  std::string archive = MakeArchive({{"a.bin", Content(1000), ZIP_CM_BZIP2}});
  EXPECT_EQ(Extract(archive).result, kResultUnsupported);
}

}  // namespace
