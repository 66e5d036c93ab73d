#include "Inspect.h"

#include "Archive.h"
#include "InspectValues.h"
#include "MediumFiles.h"
#include "ScratchFolder.h"
#include "app/core/MediumNames.h"
#include "vswriter/Description.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace setupmedium {
namespace {

// The checks read through the program's file streams: an entry is read
// from a copy in the temporary folder, as Setup.exe reads its extractions.
InspectResult CheckCopy(const std::string& bytes, const std::string& name, InspectAs as) {
  const ScratchFolder scratch("inspecting");
  const fs::path copy = scratch.Path() / fs::u8path(name);
  std::ofstream(copy, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  InspectResult result;
  result.readable = as == InspectAs::SetupInfo ? CheckSetupInfo(copy.string(), result.text)
                                               : CheckLanguageFile(copy.string(), result.text);
  return result;
}

}  // namespace

InspectResult Inspect(const std::string& file, const std::string& entry, InspectAs as) {
  std::string bytes;
  std::string name = fs::u8path(file).filename().u8string();
  if (!entry.empty()) {
    archive::Reader zip(file);
    const int index = zip.Find(entry);
    if (index < 0) throw ToolError{file + ": no entry " + entry};
    bytes = zip.Read(index, medium::kArchivePassword);
    name = fs::u8path(entry).filename().u8string();
  } else if (as == InspectAs::SetupInfo || as == InspectAs::Language) {
    InspectResult result;
    result.readable = as == InspectAs::SetupInfo ? CheckSetupInfo(fs::u8path(file).string(), result.text)
                                                 : CheckLanguageFile(fs::u8path(file).string(), result.text);
    return result;
  } else {
    auto read = ReadWholeFile(fs::u8path(file));
    if (!read) throw ToolError{file + ": cannot be read"};
    bytes = std::move(*read);
  }
  if (as == InspectAs::SetupInfo || as == InspectAs::Language) return CheckCopy(bytes, name, as);
  InspectResult result;
  result.readable = DescribeValueStream(bytes, as == InspectAs::Values, result.text);
  return result;
}

}  // namespace setupmedium
