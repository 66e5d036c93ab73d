// setupmedium inspect: a value stream file, on its own or inside an
// archive, printed one value per line with its offset (or as a description
// that turns back into the same bytes), or read as Setup.exe reads a setup
// information or language file.
#pragma once

#include <string>

namespace setupmedium {

enum class InspectAs { Values, PlainValues, SetupInfo, Language };

struct InspectResult {
  bool readable = true;  // false: damaged, or Setup.exe would fail on it
  std::string text;
};

// entry: the name inside the archive FILE, or empty for FILE itself.
// Raises ToolError when the file or the entry cannot be read.
InspectResult Inspect(const std::string& file, const std::string& entry, InspectAs as);

}  // namespace setupmedium
