// Where an installed setupmedium finds what was installed with it: the
// shipped Setup.exe and XceedZip.dll of both machines and, on Linux, the
// preview scripts. The install tree keeps them beside the program:
//   bin/setupmedium[.exe]
//   share/setupmedium/i686/{Setup.exe,XceedZip.dll}, .../x86_64/...
//   share/setupmedium/preview/ (Linux)
#pragma once

#include <filesystem>
#include <optional>

namespace setupmedium {

// The folder share/setupmedium of the install tree this program runs from;
// nothing when the program runs from a build tree.
std::optional<std::filesystem::path> InstalledShare();

}  // namespace setupmedium
