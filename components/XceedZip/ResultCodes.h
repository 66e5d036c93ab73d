// Result codes of Unzip and TestZipFile. Never negative.
#pragma once

#include <windows.h>

enum XceedZipResult : LONG {
  kResultSuccess = 0,
  kResultArchiveMissing = 503,    // ZipFilename empty or no such file
  kResultArchiveUnreadable = 505, // cannot be opened, or not a zip archive
  kResultPassword = 510,          // an entry needs a password, or the password is wrong
  kResultDamagedEntry = 511,      // an entry's data is damaged (CRC, inflate, truncated)
  kResultUnsafeName = 512,        // an entry's name was refused (outside the folder, device)
  kResultWriteFailed = 513,       // a file or folder could not be written
  kResultUnsupported = 514,       // compression or encryption method not supported
  kResultNoTargetFolder = 521,    // UnzipToFolder is empty
};
