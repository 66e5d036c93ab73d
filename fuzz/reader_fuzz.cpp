// Drives TReader with operations chosen by the input over a stream that is
// the rest of the input. Layout: [chunk size selector] [operation count N]
// [N operation bytes] [stream bytes]. After every failure the reader must
// stay usable; when it goes, the stream must stand at its read offset.
#include "runtime/core/Failures.h"
#include "streams/core/MemoryStream.h"
#include "streams/core/Reader.h"

#include <cstddef>
#include <cstdint>

namespace {

const int32_t kChunkSizes[4] = {4096, 1, 7, 256};

void Apply(TReader& reader, uint8_t op) {
  switch (op & 0x0F) {
    case 0: reader.CheckSignature(); break;
    case 1: reader.ReadIntValue(); break;
    case 2: reader.ReadStrValue(); break;
    case 3: reader.ReadBoolValue(); break;
    case 4: reader.ReadSymbolValue(); break;
    case 5: reader.EnterList(); break;
    case 6: reader.AtListEnd(); break;
    case 7: reader.LeaveList(); break;
    case 8: reader.PassValue(); break;
    case 9: reader.SetReadOffset(reader.ReadOffset() - 1); break;
    case 10: reader.SetReadOffset(op >> 4); break;
    case 11: reader.PeekTag(); break;
    case 12: reader.DropBytes(op >> 2); break;
    default: reader.ReadStrValue(); break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int32_t chunk = kChunkSizes[data[0] & 3];
  const size_t count = data[1];
  if (size < 2 + count) return 0;
  const uint8_t* ops = data + 2;
  TMemoryStream stream(data + 2 + count, size - 2 - count);
  int32_t offset;
  {
    TReader reader(stream, chunk);
    for (size_t i = 0; i < count; ++i) {
      try {
        Apply(reader, ops[i]);
      } catch (const EReadError&) {
      }
    }
    offset = reader.ReadOffset();
  }
  if (offset >= 0 && stream.Position() != offset) __builtin_trap();
  return 0;
}
