// Byte streams: the abstract TStream and the operations every reader of the
// program needs. THandleStream and TFileStream are in FileStream.h.
#pragma once

#include <cstdint>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
  virtual ~TStream() = default;

  // Reads up to count bytes; gives the number delivered, 0 at the end of
  // the data or when the read fails.
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  // Writes up to count bytes; gives the number written. Streams that cannot
  // be written give 0.
  virtual int32_t Write(const void* buffer, int32_t count) { return 0; }
  // Moves the position; gives the new position.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t position) { Seek(position, soBeginning); }
  int64_t Size();

  // Reads exactly count bytes or raises EReadError "Stream-Lesefehler".
  void ReadBuffer(void* buffer, int32_t count);
};
