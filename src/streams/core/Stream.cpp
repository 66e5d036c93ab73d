#include "streams/core/Stream.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"

int64_t TStream::Size() {
  int64_t position = Seek(0, soCurrent);
  int64_t size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, int32_t count) {
  auto* p = static_cast<char*>(buffer);
  while (count > 0) {
    int32_t n = Read(p, count);
    if (n <= 0) throw EReadError(msg::ReadError);
    p += n;
    count -= n;
  }
}
