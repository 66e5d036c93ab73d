#include "app/HandOffFiles.h"

#include "app/HandOffStop.h"
#include "runtime/Folders.h"
#include "runtime/core/Format.h"
#include "runtime/core/Messages.h"

#include <windows.h>

void RemoveLeftover(const std::string& path) {
  if (!FileExists(path)) return;
  MakeArchiveOnly(path);
  if (!DeleteFileA(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
    StopSetup(Format(msg::LeftoverText, path.c_str()));
}

void CopyArchive(const std::string& source, const std::string& copy) {
  if (!CopyFileA(source.c_str(), copy.c_str(), FALSE))
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
