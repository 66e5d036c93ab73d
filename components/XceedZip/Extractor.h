// Extraction of archive entries into a folder: the archive read with libzip,
// the entries' data through the portable data path (core/EntryStream.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct UnzipSettings {
  std::wstring zipFilename;
  std::wstring unzipToFolder;
  std::wstring password;               // empty: none
  std::vector<std::wstring> masks;     // empty: every file
  std::vector<std::wstring> excludes;
  bool preservePaths = true;
  bool skipIfExisting = false;
  bool zipOpenedFiles = false;         // also open an archive another program writes to
};

// Extracts the matching entries and returns a result code (zip/core/XceedZipResults.h).
// A refused or failing entry does not stop the others; the result is the
// code of the first failure.
LONG UnzipArchive(const UnzipSettings& settings);

// Reads every entry matching the masks without writing anything and checks
// its data; same result codes.
LONG TestArchive(const UnzipSettings& settings);
