// Result codes of Unzip and TestZipFile, the portable part of the contract
// in XceedZipContract.h (the component's data path uses them natively too).
// Never negative.
#pragma once

#include <cstdint>

enum XceedZipResult : int32_t {
  kResultSuccess = 0,
  kResultArchiveMissing = 503,    // ZipFilename empty or no such file
  kResultArchiveUnreadable = 505, // cannot be opened, or not a zip archive
  kResultPassword = 510,          // an entry needs a password, or the password is wrong
  kResultDamagedEntry = 511,      // an entry's data is damaged (CRC, inflate, truncated)
  kResultUnsafeName = 512,        // an entry's name was refused (outside the folder, device)
  kResultWriteFailed = 513,       // a file or folder could not be written or replaced
  kResultUnsupported = 514,       // compression or encryption method not supported
  kResultNoTargetFolder = 521,    // UnzipToFolder is empty
  kResultEntryTooLong = 522,      // an entry's data goes on beyond its declared size
  kResultDiskFull = 523,          // the declared sizes exceed the target volume's free space
  kResultLinkedFolder = 524,      // a folder below UnzipToFolder is a junction or link
};
