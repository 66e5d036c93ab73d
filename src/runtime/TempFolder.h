// The temporary folder in a form the program's ANSI file functions can
// reach. The platform gives the folder named by TMP or TEMP without looking
// at it: it may not exist yet, and its name (the user's name, usually) may
// hold characters that the ANSI code page cannot show, which the ANSI query
// turns into '?'.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

struct TempFolderQuery {
  enum Status { Usable, NotCreated, NoAnsiForm, TooLong };
  Status status = Usable;
  // Usable: the folder with its trailing backslash. Otherwise the folder as
  // far as the ANSI code page shows it, for the message.
  std::string path;
};

// What the run puts below the temporary folder needs this many characters
// beside it: a workspace ("\\Setup." and 16 digits) and its longest file
// name ("\\_inst32d.exe"), within the platform's path limit.
inline constexpr size_t kTempFolderRoom = 23 + 13;

// The temporary folder, created with any missing parents; its short (8.3)
// form when the long one does not survive the ANSI code page.
TempFolderQuery UsableTempPath();

// The first of the two forms of one path that converts to the ANSI code page
// and back without loss (no '?', no best-fit letters); none when neither
// does. Where a volume keeps no short names, shortPath is the long one.
std::optional<std::string> AnsiFormOf(const std::wstring& longPath, const std::wstring& shortPath);
