// The folders the program works with and the path of a module's file,
// queried with a buffer as long as the platform needs, and the file
// existence test. The temporary folder is in
// TempFolder.h.
#pragma once

#include <windows.h>

#include <string>

// The current folder as the platform reports it (a drive root ends with a
// backslash, other folders do not).
std::string CurrentFolder();

// The Windows system folder.
std::string SystemFolder();

// The full path of a module's file (the program's own for null); empty when
// the platform gives none.
std::string ModuleFileName(HMODULE module);

// True when path names an existing file (not a folder).
bool FileExists(const std::string& path);

// Sets a file's attributes to archive only (clears read-only, hidden and
// system); gives false when that failed.
bool MakeArchiveOnly(const std::string& path);
