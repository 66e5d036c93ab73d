// Building a medium folder from its description: Setup.exe, XceedZip.dll,
// the splash picture as "Setup.<ext>" and "_Setup.lib", protected with the
// medium's password, holding "Setup.inf", the language files, the installer
// as "_inst32d.exe" and the extra files. Everything is written into a
// temporary folder beside the target and moved into place at the end, so a
// failed build never leaves a half-written medium.
#pragma once

#include "MediumDescription.h"

#include <filesystem>
#include <functional>
#include <string>

namespace setupmedium {

// A build that could not be done: a missing file (named by its path), a
// target that is not a medium folder, or a write that failed.
struct BuildError {
  std::string text;
};

// progress hears the share of the archive packed (0 to 1).
void BuildMedium(const MediumDescription& description, const std::filesystem::path& target,
                 const std::function<void(double)>& progress = {});

}  // namespace setupmedium
