#include "streams/core/Reader.h"

#include "runtime/core/CodePage.h"
#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"

#include <cstring>

namespace {

// Strings are taken in pieces of this size, so memory grows only with data
// that has actually arrived.
constexpr int32_t kStringPiece = 64 * 1024;

// Open levels while PassValue follows nested values.
constexpr uint8_t kInList = 1;
constexpr uint8_t kInCollection = 2;
constexpr uint8_t kInProperties = 3;

[[noreturn]] void RaiseInvalidValue() { throw EReadError(msg::InvalidPropertyValue); }

bool IsContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

// UTF-8 of one to three bytes per character; any malformed or cut-off
// sequence makes the whole text empty.
std::u16string Utf16FromUtf8(const std::string& bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  size_t n = bytes.size();
  for (size_t i = 0; i < n;) {
    uint8_t lead = p[i];
    if (lead < 0x80) {
      text += static_cast<char16_t>(lead);
      i += 1;
    } else if (lead >= 0xC0 && lead < 0xE0) {
      if (i + 1 >= n || !IsContinuation(p[i + 1])) return std::u16string();
      text += static_cast<char16_t>(((lead & 0x1F) << 6) | (p[i + 1] & 0x3F));
      i += 2;
    } else if (lead >= 0xE0 && lead < 0xF0) {
      if (i + 2 >= n || !IsContinuation(p[i + 1]) || !IsContinuation(p[i + 2]))
        return std::u16string();
      text += static_cast<char16_t>(((lead & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) |
                                    (p[i + 2] & 0x3F));
      i += 3;
    } else {
      return std::u16string();
    }
  }
  return text;
}

}  // namespace

// ---- TFiler ----------------------------------------------------------------

TFiler::TFiler(TStream& stream, int32_t chunkSize)
    : FSource(&stream),
      FChunk(new uint8_t[chunkSize > 0 ? static_cast<size_t>(chunkSize) : 1u]),
      FChunkSize(chunkSize > 0 ? chunkSize : 0) {}

TFiler::~TFiler() = default;

// ---- TReader: the steps ----------------------------------------------------

TReader::~TReader() {
  int32_t unconsumed = FChunkPos - FChunkFill;
  if (unconsumed != 0) FSource->Seek(unconsumed, soCurrent);
}

void TReader::Refill() {
  int32_t delivered = FSource->Read(FChunk.get(), FChunkSize);
  if (delivered <= 0) {
    FChunkFill = 0;
    throw EReadError(msg::ReadError);
  }
  FChunkFill = delivered;
  FChunkPos = 0;
}

void TReader::ReadRaw(void* destination, int32_t count) {
  auto* out = static_cast<uint8_t*>(destination);
  while (count > 0) {
    int32_t available;
    if (FChunkPos < FChunkFill) {
      available = FChunkFill - FChunkPos;
    } else {
      Refill();
      available = FChunkFill;
    }
    int32_t k = available < count ? available : count;
    std::memcpy(out, FChunk.get() + FChunkPos, static_cast<size_t>(k));
    FChunkPos += k;
    out += k;
    count -= k;
  }
}

// Every platform this program is built for is little-endian, as the format.
template <typename T>
T TReader::ReadLittleEndian() {
  T value;
  if (FChunkFill - FChunkPos >= static_cast<int32_t>(sizeof(T))) {
    std::memcpy(&value, FChunk.get() + FChunkPos, sizeof(T));
    FChunkPos += sizeof(T);
  } else {
    ReadRaw(&value, sizeof(T));
  }
  return value;
}

int32_t TReader::ReadLength() { return ReadLittleEndian<int32_t>(); }

void TReader::ExpectTag(uint8_t tag) {
  if (TakeTag() == tag) return;
  --FChunkPos;
  PassValue();
  RaiseInvalidValue();
}

void TReader::DropBytes(int32_t count) {
  uint8_t scratch[256];
  while (count > 0) {
    int32_t k = count < 256 ? count : 256;
    ReadRaw(scratch, k);
    count -= k;
  }
}

uint8_t TReader::PassPayload(uint8_t tag) {
  switch (tag) {
    case tgList: return kInList;
    case tgCollection: return kInCollection;
    case tgInt8: DropBytes(1); break;
    case tgInt16: DropBytes(2); break;
    case tgInt32:
    case tgFloat32: DropBytes(4); break;
    case tgFixed64:
    case tgDate64:
    case tgInt64: DropBytes(8); break;
    case tgFloat80: DropBytes(10); break;
    case tgShortStr:
    case tgSymbol: DropBytes(TakeTag()); break;
    case tgBytes:
    case tgLongStr:
    case tgUtf8Str: DropBytes(ReadLength()); break;
    case tgWideStr: {
      // Two bytes per code unit, dropped in two halves so 2 * length cannot
      // overflow.
      int32_t units = ReadLength();
      DropBytes(units);
      DropBytes(units);
      break;
    }
    case tgSet:
      for (uint8_t length = TakeTag(); length != 0; length = TakeTag()) DropBytes(length);
      break;
    default: break;  // tgEnd, tgFalse, tgTrue, tgNil and tags past the last kind
  }
  return 0;
}

void TReader::PassValue() {
  uint8_t open = PassPayload(TakeTag() & 0x7F);
  if (open == 0) return;
  std::string levels(1, static_cast<char>(open));
  while (!levels.empty()) {
    if (AtListEnd()) {
      TakeTag();
      levels.pop_back();
      continue;
    }
    switch (static_cast<uint8_t>(levels.back())) {
      case kInList:
        open = PassPayload(TakeTag() & 0x7F);
        break;
      case kInCollection: {
        // An item: an optional index, a list-start byte that is not looked
        // at, then its properties.
        uint8_t tag = PeekTag() & 0x7F;
        if (tag == tgInt8 || tag == tgInt16 || tag == tgInt32) PassPayload(TakeTag() & 0x7F);
        TakeTag();
        open = kInProperties;
        break;
      }
      default:  // kInProperties: a name, then one value
        DropBytes(TakeTag());
        open = PassPayload(TakeTag() & 0x7F);
        break;
    }
    if (open != 0) levels.push_back(static_cast<char>(open));
  }
}

std::string TReader::ReadBytesAsText(int32_t length) {
  if (length < 0) RaiseInvalidValue();
  if (length <= FChunkFill - FChunkPos) {  // the usual case: all in the chunk
    const char* start = reinterpret_cast<const char*>(FChunk.get() + FChunkPos);
    FChunkPos += length;
    return std::string(start, static_cast<size_t>(length));
  }
  std::string text;
  while (length > 0) {
    int32_t k = length < kStringPiece ? length : kStringPiece;
    size_t old = text.size();
    text.resize(old + static_cast<size_t>(k));
    ReadRaw(&text[old], k);
    length -= k;
  }
  return text;
}

std::u16string TReader::ReadWideText() {
  uint8_t tag = TakeTag();
  int32_t length = ReadLength();
  if (tag == tgUtf8Str) return Utf16FromUtf8(ReadBytesAsText(length));
  if (length < 0) RaiseInvalidValue();
  std::u16string text;
  while (length > 0) {
    int32_t k = length < kStringPiece / 2 ? length : kStringPiece / 2;
    size_t old = text.size();
    text.resize(old + static_cast<size_t>(k));
    ReadRaw(&text[old], k * 2);
    length -= k;
  }
  return text;
}

// ---- TReader: the operations -----------------------------------------------

void TReader::CheckSignature() {
  uint8_t bytes[4];
  ReadRaw(bytes, 4);
  uint32_t signature = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (uint32_t(bytes[3]) << 24);
  if (signature != kValueStreamSignature) throw EReadError(msg::InvalidStreamFormat);
}

int32_t TReader::ReadIntValueSlow() {
  switch (TakeTag()) {
    case tgInt8: return ReadLittleEndian<int8_t>();
    case tgInt16: return ReadLittleEndian<int16_t>();
    case tgInt32: return ReadLittleEndian<int32_t>();
    default: RaiseInvalidValue();
  }
}

std::string TReader::ReadStrValueSlow() {
  uint8_t tag = PeekTag();
  if (tag == tgWideStr || tag == tgUtf8Str) return AnsiFromUtf16(ReadWideText());
  switch (TakeTag()) {
    case tgShortStr: return ReadBytesAsText(TakeTag());
    case tgLongStr: return ReadBytesAsText(ReadLength());
    default: RaiseInvalidValue();
  }
}

bool TReader::ReadBoolValue() { return TakeTag() == tgTrue; }

std::string TReader::ReadSymbolValue() {
  switch (TakeTag() & 0x7F) {
    case tgSymbol: return ReadBytesAsText(TakeTag());
    case tgFalse: return "False";
    case tgTrue: return "True";
    case tgNil: return "nil";
    case tgEnd: return "Null";
    default: RaiseInvalidValue();
  }
}

void TReader::EnterList() { ExpectTag(tgList); }

void TReader::LeaveList() { ExpectTag(tgEnd); }

int32_t TReader::ReadOffset() {
  uint32_t position = static_cast<uint32_t>(FSource->Position());
  return static_cast<int32_t>(position - static_cast<uint32_t>(FChunkFill - FChunkPos));
}

void TReader::SetReadOffset(int32_t offset) {
  FSource->SetPosition(offset);
  FChunkPos = 0;
  FChunkFill = 0;
}
