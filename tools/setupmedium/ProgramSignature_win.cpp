// Reading a program's Authenticode signature on Windows: the platform reads
// it from a temporary copy, as Setup.exe reads its own (runtime/FileSignature.h).
#include "CheckSignatures.h"

#include "runtime/FileSignature.h"
#include "runtime/Handles.h"

#include <windows.h>

#include <cstdio>

namespace setupmedium {

ProgramSignature ReadProgramSignature(const std::string& bytes) {
  ProgramSignature result;
  wchar_t folder[MAX_PATH], path[MAX_PATH];
  if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"sig", 0, path)) {
    result.state = ProgramSignature::Changed;
    return result;
  }
  UniqueFile file(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  DWORD written = 0;
  if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    result.state = ProgramSignature::Changed;
    return result;
  }
  char name[256] = {};
  const FileSignature read = ReadFileSignature(file.get(), path, name, sizeof name);
  result.state = read.state == FileSignature::Unsigned  ? ProgramSignature::None
                 : read.state == FileSignature::Changed ? ProgramSignature::Changed
                                                        : ProgramSignature::Verifies;
  if (result.state == ProgramSignature::Verifies) {
    result.signer = name;
    char pair[3];
    for (BYTE b : read.signer) {
      std::snprintf(pair, sizeof pair, "%02x", b);
      result.publisher += pair;
    }
  }
  return result;
}

}  // namespace setupmedium
