#include "app/HandOffFiles.h"

#include "app/HandOffStop.h"
#include "runtime/FileCopy.h"
#include "runtime/core/Format.h"
#include "runtime/core/Messages.h"

#include <windows.h>

UniqueFile CopyArchive(const std::string& source, const std::string& copy) {
  const UniqueFile from(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  UniqueFile to(CreateFileA(copy.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_NEW, FILE_ATTRIBUTE_ARCHIVE | FILE_FLAG_SEQUENTIAL_SCAN,
                            nullptr));
  if (from && to && CopyFileContents(from.get(), to.get())) return to;
  StopSetup(Format(msg::CopyFailedText, source.c_str(), copy.c_str()));
}

UniqueFile HoldFile(const std::string& path, const std::string& notThereText) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) StopSetup(notThereText);
    StopSetup(Format(msg::HoldFailedText, path.c_str()));
  }
  return file;
}
