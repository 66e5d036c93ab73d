// Copying a file's contents between two open handles, in 1 MiB pieces (the
// memory it takes stays flat however large the file). Header only, so the
// copy benchmark measures the program's own loop.
#pragma once

#include <windows.h>

#include <memory>

// Reads `from` to its end and writes it to `to`; false when a read or a
// write failed.
inline bool CopyFileContents(HANDLE from, HANDLE to) {
  constexpr DWORD kChunk = 1 << 20;
  const std::unique_ptr<char[]> buffer(new char[kChunk]);
  for (;;) {
    DWORD read = 0, written = 0;
    if (!ReadFile(from, buffer.get(), kChunk, &read, nullptr)) return false;
    if (read == 0) return true;
    if (!WriteFile(to, buffer.get(), read, &written, nullptr) || written != read) return false;
  }
}
