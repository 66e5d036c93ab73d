// Streams over an operating-system file: THandleStream reads and moves
// through any open file handle; TFileStream opens a named file and closes it
// again. On Windows the handle is a HANDLE, in the native build a file
// descriptor.
#pragma once

#include "streams/core/Stream.h"

#include <cstdint>
#include <string>

// Open modes: the access in bits 0 and 1, the sharing in bits 4 to 7.
// fmCreate creates (or empties) the file and opens it for reading and
// writing; every other mode opens an existing file and never creates one.
constexpr uint16_t fmCreate = 0xFFFF;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;     // nobody else may open the file
constexpr uint16_t fmShareExclusive = 0x0010;  // nobody else may open the file
constexpr uint16_t fmShareDenyWrite = 0x0020;  // others may read
constexpr uint16_t fmShareDenyRead = 0x0030;   // others may write
constexpr uint16_t fmShareDenyNone = 0x0040;   // others may read and write

// The platform's file handle, held as a number wide enough for both kinds.
using TFileHandle = intptr_t;

class THandleStream : public TStream {
public:
  // Works on the handle without owning it.
  explicit THandleStream(TFileHandle handle) : FHandle(handle) {}

  // 0 at the end of the file and when the system read fails.
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  // Positions beyond the end are allowed. Gives -1 when the system refuses
  // the move (a negative position); the position then stays where it was.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  TFileHandle Handle() const { return FHandle; }

protected:
  TFileHandle FHandle;
};

class TFileStream : public THandleStream {
public:
  // Opens the file or raises EFOpenError
  // "Datei %s kann nicht geöffnet werden. %s" with the full path and the
  // system's text for the failure. An access above 2 or a sharing above 4
  // is refused the same way, without asking the system.
  TFileStream(const std::string& fileName, uint16_t mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  const std::string& FileName() const { return FFileName; }

private:
  std::string FFileName;
};

// The handle value that stands for "no file".
extern const TFileHandle kInvalidFileHandle;

// Splits a mode into access (bits 0-1) and sharing (bits 4-7); false when
// either is out of range. fmCreate is not split.
bool SplitFileMode(uint16_t mode, unsigned& access, unsigned& sharing);

// The EFOpenError for a file that could not be opened.
[[noreturn]] void RaiseFOpenError(const std::string& fullPath, const std::string& systemText);
