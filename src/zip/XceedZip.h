// TXceedZip: the wrapper of the zip component in "XceedZip.dll". The program
// sets four properties and calls two methods: add a file mask, and unzip
// with the current settings. Settings stay in force across unzips on one
// instance.
#pragma once

#include "zip/OleControl.h"

#include <string>

class TXceedZip : public TOleControl {
public:
  // Creates the component; raises EOleSysError when that is impossible
  // (for example when the class is not registered).
  TXceedZip();

  void SetZipFilename(const std::string& path);
  void SetZipOpenedFiles(bool value);
  void SetUnzipToFolder(const std::string& folder);
  void SetEncryptionPassword(const std::string& password);

  // Adds a file mask to the set to process.
  void AddFilesToProcess(const std::string& mask);
  // Unzips with the current settings; gives the component's result code
  // (XceedZipResult: kResultSuccess, kResultArchiveMissing or
  // kResultArchiveUnreadable for an archive missing or unreadable, others its own).
  long Unzip();
};
