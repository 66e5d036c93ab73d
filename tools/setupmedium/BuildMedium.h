// Building a medium folder from its description: Setup.exe, XceedZip.dll,
// the splash picture as "Setup.<ext>", the author's own files, and
// "_Setup.lib", protected with the medium's password, holding "Setup.inf",
// the language files, the installer as "_inst32d.exe" and the extra files.
// Everything is written into a temporary folder beside the target, checked
// as `check` checks a medium, and moved into place only then: a failed,
// interrupted or refused build never leaves a half-written medium and
// keeps the previous one. The medium keeps a record of what was written
// (MediumRecord.h); a folder holding anything else is never replaced.
#pragma once

#include "ToolError.h"

#include "Findings.h"
#include "MediumDescription.h"

#include <filesystem>
#include <functional>
#include <string>

namespace setupmedium {

// A build that could not be done raises ToolError: a missing file (named by
// its path), a target that holds what setupmedium did not write, or a write
// that failed.

struct BuildOptions {
  bool force = false;  // put a medium with errors into place all the same
  std::function<void(double)> progress;  // the share of the archive packed (0 to 1)
};

struct BuildResult {
  Findings findings;  // the check of the built medium
  bool placed = false;  // false: it had errors, the previous medium stays
};

BuildResult BuildMedium(const MediumDescription& description, const std::filesystem::path& target,
                        const BuildOptions& options = {});

}  // namespace setupmedium
