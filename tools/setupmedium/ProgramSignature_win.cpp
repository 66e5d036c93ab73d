// Reading a program's Authenticode signature on Windows: the platform reads
// it through a handle, as Setup.exe reads its own (runtime/FileSignature.h).
#include "CheckSignatures.h"

#include "runtime/FileSignature.h"
#include "runtime/Handles.h"

#include <windows.h>

#include <cstdio>

namespace setupmedium {

ProgramSignature ReadProgramSignature(const std::filesystem::path& path) {
  ProgramSignature result;
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) {
    result.state = ProgramSignature::Changed;
    return result;
  }
  char name[256] = {};
  const FileSignature read = ReadFileSignature(file.get(), path.c_str(), name, sizeof name);
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
