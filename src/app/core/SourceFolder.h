// The folder names the start-up and the hand-off work out from the command
// line, the current folder and the temporary folder. Folder paths are held
// without a trailing backslash.
#pragma once

#include <string>
#include <vector>

// Removes one trailing backslash, if there is one ("D:\" becomes "D:").
std::string WithoutTrailingBackslash(std::string path);

// The source folder: the first argument if there is one, else the current
// folder; one trailing backslash removed either way.
std::string SourceFolderFrom(const std::vector<std::string>& arguments,
                             const std::string& currentFolder);

// The installer's command line: the program path in the temporary folder
// (given with its trailing backslash) in quotes, so that a folder with
// blanks cannot make the platform try a shorter program path first, then
// one blank and the source folder, unquoted: the installer reads it as it
// comes.
std::string InstallerCommandLine(const std::string& tempPathWithBackslash,
                                 const std::string& sourceFolder);
