// Checking a medium folder (or a pressed disc's drive) the way Setup.exe
// will read it, with the program's own readers: the component, the archive
// and its password, "Setup.inf" for its format version, the language file
// and its texts, the splash picture and the window it makes, the installer.
#pragma once

#include "Findings.h"

#include <filesystem>
#include <functional>

namespace setupmedium {

// progress hears the share of the archive's bytes read (0 to 1).
Findings CheckMedium(const std::filesystem::path& folder, const std::function<void(double)>& progress = {});

}  // namespace setupmedium
