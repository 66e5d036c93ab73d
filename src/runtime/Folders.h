// The folders the program works with, queried with a buffer as long as the
// platform needs (a long temporary folder path is read whole), and the file
// existence test.
#pragma once

#include <string>

// The current folder as the platform reports it (a drive root ends with a
// backslash, other folders do not).
std::string CurrentFolder();

// The temporary folder with its trailing backslash.
std::string TempPath();

// The Windows system folder.
std::string SystemFolder();

// True when path names an existing file (not a folder).
bool FileExists(const std::string& path);

// Sets a file's attributes to archive only (clears read-only, hidden and
// system); gives false when that failed.
bool MakeArchiveOnly(const std::string& path);
