// Reading value streams: a four-byte signature, then values, each a tag byte
// (ValueTags.h) and the payload of its kind. TReader reads through a chunk
// of its own, asking the stream for data once per chunk; looking ahead and
// stepping back by one byte happen inside the chunk.
//
// Failures (all EReadError):
//   "Stream-Lesefehler"            the data ended (a refill delivered nothing)
//   "Ungültiges Stream-Format"     the signature is wrong
//   "Ungültiger Eigenschaftswert"  a value of another kind than asked for, or
//                                  a string whose length is negative
// A string's bytes are taken in bounded pieces as the stream delivers them,
// so a length larger than the data fails with "Stream-Lesefehler" once the
// data ends, without reserving memory for the length up front.
#pragma once

#include "streams/core/Stream.h"
#include "streams/core/ValueTags.h"

#include <cstdint>
#include <memory>
#include <string>

// The chunk the program reads its value files through ("setup.inf" and the
// language files): one stream read per 4096 bytes.
inline constexpr int32_t kValueChunkSize = 4096;

class TFiler {
public:
  // Does not own the stream and does not touch it; reading starts at the
  // stream's current position.
  TFiler(TStream& stream, int32_t chunkSize);
  virtual ~TFiler();
  TFiler(const TFiler&) = delete;
  TFiler& operator=(const TFiler&) = delete;

protected:
  TStream* FSource;
  std::unique_ptr<uint8_t[]> FChunk;
  int32_t FChunkSize;
  int32_t FChunkPos = 0;
  int32_t FChunkFill = 0;
};

class TReader : public TFiler {
public:
  TReader(TStream& stream, int32_t chunkSize) : TFiler(stream, chunkSize) {}
  // Gives the buffered but unconsumed bytes back: the stream is left at
  // ReadOffset(). Does not close the stream.
  ~TReader() override;

  void CheckSignature();
  inline int32_t ReadIntValue();
  // Short and long strings as stored; UTF-16 and UTF-8 strings converted to
  // the ANSI code page of the current thread.
  inline std::string ReadStrValue();
  // True only for tgTrue; any other byte gives false and only it is taken.
  bool ReadBoolValue();
  // A symbol's text, or "Null", "False", "True", "nil" for those tags.
  std::string ReadSymbolValue();
  void EnterList();
  bool AtListEnd() { return PeekTag() == tgEnd; }
  void LeaveList();

  // The stream offset of the next byte the reader delivers.
  int32_t ReadOffset();
  // Moves the stream to offset and empties the chunk; the next read refills
  // from there.
  void SetReadOffset(int32_t offset);

  // The steps the operations above are made of.
  void ReadRaw(void* destination, int32_t count);
  uint8_t TakeTag() {
    if (FChunkPos < FChunkFill) return FChunk[FChunkPos++];
    uint8_t tag;
    ReadRaw(&tag, 1);
    return tag;
  }
  uint8_t PeekTag() {
    uint8_t tag = TakeTag();
    --FChunkPos;
    return tag;
  }
  // Takes the tag; on another tag passes over the whole value and raises
  // "Ungültiger Eigenschaftswert".
  void ExpectTag(uint8_t tag);
  // Passes over one value of any kind. Nested lists and collections are
  // followed with a stack on the heap, one byte per open level, so depth is
  // bounded by the data, not by the thread's stack.
  void PassValue();
  // Consumes and discards count bytes (nothing for 0 or less).
  void DropBytes(int32_t count);
  // A UTF-16 or UTF-8 string's text before its conversion to the code page
  // (UTF-8 decoded to UTF-16); another tag than those two is not checked.
  std::u16string ReadWideText();

private:
  int32_t ReadIntValueSlow();
  std::string ReadStrValueSlow();
  void Refill();
  template <typename T> T ReadLittleEndian();
  int32_t ReadLength();
  std::string ReadBytesAsText(int32_t length);
  // Consumes the payload of a value whose tag (low seven bits) was taken;
  // gives the nesting a list or a collection opens, 0 for the others.
  uint8_t PassPayload(uint8_t tag);
};

// The usual cases, a whole integer or short string inside the chunk, are
// decoded here; everything else takes the general path.
inline int32_t TReader::ReadIntValue() {
  if (FChunkFill - FChunkPos >= 5) {
    const uint8_t* p = FChunk.get() + FChunkPos;
    switch (p[0]) {
      case tgInt8: FChunkPos += 2; return static_cast<int8_t>(p[1]);
      case tgInt16: FChunkPos += 3; return static_cast<int16_t>(p[1] | (p[2] << 8));
      case tgInt32:
        FChunkPos += 5;
        return static_cast<int32_t>(p[1] | (p[2] << 8) | (p[3] << 16) | (uint32_t(p[4]) << 24));
      default: break;
    }
  }
  return ReadIntValueSlow();
}

inline std::string TReader::ReadStrValue() {
  if (FChunkFill - FChunkPos >= 2 && FChunk[FChunkPos] == tgShortStr &&
      FChunk[FChunkPos + 1] <= FChunkFill - FChunkPos - 2) {
    const char* start = reinterpret_cast<const char*>(FChunk.get() + FChunkPos + 2);
    size_t length = FChunk[FChunkPos + 1];
    FChunkPos += 2 + static_cast<int32_t>(length);
    return std::string(start, length);
  }
  return ReadStrValueSlow();
}
