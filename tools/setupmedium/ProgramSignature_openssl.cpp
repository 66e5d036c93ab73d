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

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

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

// Where the image's digest skips: the checksum, the certificate table's
// directory entry, and the table itself.
struct Layout {
  bool valid = false;
  size_t checksum = 0, directory = 0, table = 0, tableSize = 0;
};

Layout LayoutOf(const std::string& b) {
  Layout l;
  if (b.size() < 64 || b.compare(0, 2, "MZ") != 0) return l;
  const size_t pe = Le(b, 0x3C, 4);
  if (pe > b.size() || b.size() - pe < 24 + 2 || b.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return l;
  const size_t optional = pe + 24;
  const uint16_t magic = static_cast<uint16_t>(Le(b, optional, 2));
  const size_t counted = optional + (magic == 0x20B ? 108 : 92);  // NumberOfRvaAndSizes
  if (magic != 0x10B && magic != 0x20B) return l;
  if (counted + 4 + 5 * 8 > b.size() || Le(b, counted, 4) < 5) return l;
  l.checksum = optional + 64;
  l.directory = counted + 4 + 4 * 8;
  l.table = Le(b, l.directory, 4);
  l.tableSize = Le(b, l.directory + 4, 4);
  l.valid = l.tableSize == 0 || (l.table >= l.directory + 8 && l.table <= b.size() && l.tableSize <= b.size() - l.table);
  return l;
}

bool ImageDigest(const std::string& b, const Layout& l, const EVP_MD* md, std::string& digest) {
  Owned<EVP_MD_CTX, EVP_MD_CTX_free> context(EVP_MD_CTX_new());
  const auto part = [&](size_t from, size_t to) { return EVP_DigestUpdate(context.get(), b.data() + from, to - from); };
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned size = 0;
  if (!context || !EVP_DigestInit_ex(context.get(), md, nullptr) || !part(0, l.checksum) ||
      !part(l.checksum + 4, l.directory) || !part(l.directory + 8, l.table) ||
      !part(l.table + l.tableSize, b.size()) || !EVP_DigestFinal_ex(context.get(), out, &size))
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
bool Verifies(PKCS7* p7, const std::string& bytes, const Layout& layout) {
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
  if (!md || !ImageDigest(bytes, layout, md, computed) ||
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

ProgramSignature ReadProgramSignature(const std::string& bytes) {
  ProgramSignature result;
  const Layout layout = LayoutOf(bytes);
  if (!layout.valid || layout.tableSize == 0) return result;
  result.state = ProgramSignature::Changed;
  // WIN_CERTIFICATE: length, revision, type, then the PKCS#7 signed data.
  if (layout.tableSize < 8 || Le(bytes, layout.table + 6, 2) != 2) return result;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + layout.table + 8);
  Owned<PKCS7, PKCS7_free> p7(d2i_PKCS7(nullptr, &p, static_cast<long>(layout.tableSize - 8)));
  if (!p7 || !Verifies(p7.get(), bytes, layout)) return result;
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
