// Reading a program's Authenticode signature with OpenSSL: the PKCS#7
// signed data in the image's certificate table, the digest it states (the
// DigestInfo of its SpcIndirectDataContent) against the image's digest
// computed here, and the signature value over that content.
#include "CheckSignatures.h"

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

namespace setupmedium {
namespace {

template <typename T, void (*Free)(T*)>
struct Freer {
  void operator()(T* p) const { Free(p); }
};
template <typename T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, Freer<T, Free>>;

void FreeItems(STACK_OF(ASN1_TYPE)* items) { sk_ASN1_TYPE_pop_free(items, ASN1_TYPE_free); }
void FreeSigners(STACK_OF(X509)* signers) { sk_X509_free(signers); }

uint32_t Le(const std::string& b, size_t at, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(b[at + i]);
  return value;
}

// A program file read a piece at a time.
class ProgramFile {
public:
  explicit ProgramFile(const std::filesystem::path& path) : in_(path, std::ios::binary) {
    std::error_code error;
    size_ = std::filesystem::file_size(path, error);
    if (error) in_.setstate(std::ios::failbit);
  }
  uint64_t Size() const { return size_; }
  // The bytes from..to, or empty when they cannot be read.
  std::string Bytes(uint64_t from, uint64_t to) {
    std::string bytes(static_cast<size_t>(to - from), '\0');
    if (!in_.seekg(static_cast<std::streamoff>(from)) || !in_.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
      bytes.clear();
    return bytes;
  }
  // Hands the bytes from..to to sink in pieces of 1 MB at most.
  bool Pieces(uint64_t from, uint64_t to, const std::function<bool(const char*, size_t)>& sink) {
    std::vector<char> piece(1 << 20);
    if (!in_.seekg(static_cast<std::streamoff>(from))) return false;
    while (from < to) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(piece.size(), to - from));
      if (!in_.read(piece.data(), static_cast<std::streamsize>(n)) || !sink(piece.data(), n)) return false;
      from += n;
    }
    return true;
  }

private:
  std::ifstream in_;
  uint64_t size_ = 0;
};

// Where the image's digest skips: the checksum, the certificate table's
// directory entry, and the table itself.
struct Layout {
  bool valid = false;
  uint64_t checksum = 0, directory = 0, table = 0, tableSize = 0;
};

Layout LayoutOf(ProgramFile& file) {
  Layout l;
  const uint64_t size = file.Size();
  const std::string dos = file.Bytes(0, std::min<uint64_t>(size, 64));
  if (dos.size() < 64 || dos.compare(0, 2, "MZ") != 0) return l;
  const uint64_t pe = Le(dos, 0x3C, 4);
  // The signature, the file header and the optional header up to the
  // certificate table's directory entry.
  constexpr uint64_t kHeaders = 24 + 108 + 4 + 5 * 8;
  if (pe > size || size - pe < kHeaders) return l;
  const std::string b = file.Bytes(pe, pe + kHeaders);
  if (b.size() != kHeaders || b.compare(0, 4, std::string("PE\0\0", 4)) != 0) return l;
  const uint16_t magic = static_cast<uint16_t>(Le(b, 24, 2));
  if (magic != 0x10B && magic != 0x20B) return l;
  const uint64_t counted = 24 + (magic == 0x20B ? 108 : 92);  // NumberOfRvaAndSizes
  if (Le(b, counted, 4) < 5) return l;
  l.checksum = pe + 24 + 64;
  l.directory = pe + counted + 4 + 4 * 8;
  l.table = Le(b, counted + 4 + 4 * 8, 4);
  l.tableSize = Le(b, counted + 4 + 4 * 8 + 4, 4);
  l.valid = l.tableSize == 0 || (l.table >= l.directory + 8 && l.table <= size && l.tableSize <= size - l.table);
  return l;
}

bool ImageDigest(ProgramFile& file, const Layout& l, const EVP_MD* md, std::string& digest) {
  Owned<EVP_MD_CTX, EVP_MD_CTX_free> context(EVP_MD_CTX_new());
  const auto part = [&](uint64_t from, uint64_t to) {
    return file.Pieces(from, to, [&](const char* data, size_t n) { return EVP_DigestUpdate(context.get(), data, n) == 1; });
  };
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned size = 0;
  if (!context || !EVP_DigestInit_ex(context.get(), md, nullptr) || !part(0, l.checksum) ||
      !part(l.checksum + 4, l.directory) || !part(l.directory + 8, l.table) ||
      !part(l.table + l.tableSize, file.Size()) || !EVP_DigestFinal_ex(context.get(), out, &size))
    return false;
  digest.assign(reinterpret_cast<char*>(out), size);
  return true;
}

std::string Hex(const unsigned char* bytes, unsigned size) {
  std::string text;
  char pair[3];
  for (unsigned i = 0; i < size; ++i) {
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    text += pair;
  }
  return text;
}

// The digest the signature states and the signature value over its content;
// false when either does not verify.
bool Verifies(PKCS7* p7, ProgramFile& file, const Layout& layout) {
  if (!PKCS7_type_is_signed(p7) || !p7->d.sign->contents) return false;
  PKCS7* inner = p7->d.sign->contents;
  char type[64] = {};
  OBJ_obj2txt(type, sizeof type, inner->type, 1);
  if (std::strcmp(type, "1.3.6.1.4.1.311.2.1.4") != 0) return false;  // SpcIndirectDataContent
  const ASN1_TYPE* other = inner->d.other;
  if (!other || other->type != V_ASN1_SEQUENCE) return false;
  const ASN1_STRING* content = other->value.sequence;
  // Its second item is the DigestInfo of the image.
  const unsigned char* p = content->data;
  Owned<STACK_OF(ASN1_TYPE), FreeItems> items(d2i_ASN1_SEQUENCE_ANY(nullptr, &p, content->length));
  if (!items || sk_ASN1_TYPE_num(items.get()) < 2) return false;
  const ASN1_TYPE* digestInfo = sk_ASN1_TYPE_value(items.get(), 1);
  if (digestInfo->type != V_ASN1_SEQUENCE) return false;
  p = digestInfo->value.sequence->data;
  Owned<X509_SIG, X509_SIG_free> stated(d2i_X509_SIG(nullptr, &p, digestInfo->value.sequence->length));
  if (!stated) return false;
  const X509_ALGOR* algorithm = nullptr;
  const ASN1_OCTET_STRING* statedDigest = nullptr;
  X509_SIG_get0(stated.get(), &algorithm, &statedDigest);
  const EVP_MD* md = EVP_get_digestbyobj(algorithm->algorithm);
  std::string computed;
  if (!md || !ImageDigest(file, layout, md, computed) ||
      computed.size() != static_cast<size_t>(statedDigest->length) ||
      std::memcmp(computed.data(), statedDigest->data, computed.size()) != 0)
    return false;
  // The signature covers the content's value, without its own header.
  p = content->data;
  long length = 0;
  int tag = 0, xclass = 0;
  if (ASN1_get_object(&p, &length, &tag, &xclass, content->length) & 0x80) return false;
  Owned<BIO, BIO_free_all> signedBytes(BIO_new_mem_buf(p, static_cast<int>(length)));
  ERR_clear_error();
  return signedBytes && PKCS7_verify(p7, nullptr, nullptr, signedBytes.get(), nullptr, PKCS7_NOVERIFY) == 1;
}

}  // namespace

ProgramSignature ReadProgramSignature(const std::filesystem::path& path) {
  ProgramSignature result;
  ProgramFile file(path);
  const Layout layout = LayoutOf(file);
  if (!layout.valid || layout.tableSize == 0) return result;
  result.state = ProgramSignature::Changed;
  // A certificate table is a few kilobytes; one of more than 16 MB is
  // damage, and is not read.
  if (layout.tableSize > (16u << 20)) return result;
  // WIN_CERTIFICATE: length, revision, type, then the PKCS#7 signed data.
  const std::string table = file.Bytes(layout.table, layout.table + layout.tableSize);
  if (table.size() < 8 || Le(table, 6, 2) != 2) return result;
  const auto* p = reinterpret_cast<const unsigned char*>(table.data() + 8);
  Owned<PKCS7, PKCS7_free> p7(d2i_PKCS7(nullptr, &p, static_cast<long>(table.size() - 8)));
  if (!p7 || !Verifies(p7.get(), file, layout)) return result;
  Owned<STACK_OF(X509), FreeSigners> signers(PKCS7_get0_signers(p7.get(), nullptr, 0));
  if (!signers || sk_X509_num(signers.get()) < 1) return result;
  X509* signer = sk_X509_value(signers.get(), 0);
  unsigned char hash[EVP_MAX_MD_SIZE];
  unsigned size = 0;
  if (!X509_digest(signer, EVP_sha256(), hash, &size)) return result;
  char name[256] = {};
  X509_NAME_get_text_by_NID(X509_get_subject_name(signer), NID_commonName, name, sizeof name);
  result = {ProgramSignature::Verifies, name, Hex(hash, size)};
  return result;
}

}  // namespace setupmedium
