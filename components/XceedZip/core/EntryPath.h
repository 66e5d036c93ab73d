// Where an archive entry may be written: the rules that keep every entry
// inside the target folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An entry whose name ends in '/' or '\' is a folder, not a file.
bool IsFolderEntry(std::wstring_view name);

// The file name of an entry: the part after the last '/' or '\'.
std::wstring_view EntryFileName(std::wstring_view name);

// True for names Windows reserves for devices, with or without an extension:
// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1..COM9, LPT1..LPT9 (also with the
// superscript digits 1, 2, 3), in any case.
bool IsDeviceName(std::wstring_view segment);

// Splits an entry name at '/' and '\' into the folders and the file name,
// relative to the target folder. Empty and "." segments are dropped. The
// entry is refused (no value) when it could end up outside the target folder
// or somewhere else than its name says:
//   - it starts with '/' or '\' (absolute, UNC) or holds ':' (drive letters,
//     alternate data streams);
//   - a segment is "..", ends in '.' or ' ' (Windows strips those, so ".. "
//     and "..." would turn into something else), names a device, or holds a
//     control character or one of < > " | ? *;
//   - nothing is left.
std::optional<std::vector<std::wstring>> SafeEntrySegments(std::wstring_view name);
