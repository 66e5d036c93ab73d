#include "streams/core/FileStream.h"

#include "runtime/core/Failures.h"
#include "runtime/core/Format.h"
#include "runtime/core/Messages.h"

bool SplitFileMode(uint16_t mode, unsigned& access, unsigned& sharing) {
  access = mode & 0x0003u;
  sharing = (mode >> 4) & 0x000Fu;
  return access <= 2 && sharing <= 4;
}

void RaiseFOpenError(const std::string& fullPath, const std::string& systemText) {
  throw EFOpenError(
      Format(msg::FOpenError, fullPath.c_str(), TrimSystemMessage(systemText).c_str()));
}
