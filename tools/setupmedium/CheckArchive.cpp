#include "MediumChecker.h"

#include "Archive.h"
#include "EntryPath.h"
#include "ReportText.h"
#include "app/core/MediumNames.h"
#include "runtime/core/CodePage1252.h"
#include "vswriter/ValueWriter.h"

#include <algorithm>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace setupmedium {
namespace {

constexpr uint64_t kHeldBytes = 16u << 20;

// The head of an installer: where a Windows program's headers lie.
constexpr size_t kInstallerHead = 64u << 10;

// Writes the entry to a file of the scratch folder under a scratch name
// (never the entry's own: that could point anywhere), piece by piece; the
// path as the program's file streams take it (ANSI on Windows). also hears
// every piece as it is written.
fs::path Place(const ScratchFolder& scratch, const archive::Reader& zip, int index,
               const std::function<void(const char*, size_t)>& also = {}) {
  const fs::path path = scratch.Path() / ("entry-" + std::to_string(index));
  std::ofstream out(path, std::ios::binary);
  zip.Stream(index, medium::kArchivePassword, [&](const char* data, size_t size) {
    out.write(data, static_cast<std::streamsize>(size));
    if (also) also(data, size);
  });
  if (!out.flush()) throw ToolError{"cannot write " + path.u8string()};
  return path;
}

}  // namespace

void Checker::CheckArchive() {
  const auto path = FindInFolder(folder_, medium::kArchiveFile);
  if (!path) {
    f_.Error(medium::kArchiveFile, "missing: the extraction fails and Setup.exe ends (exit code 0)",
             "build the medium with setupmedium build");
    return;
  }
  std::unique_ptr<archive::Reader> zip;
  try {
    zip = std::make_unique<archive::Reader>(path->u8string());
    zip->OnProgress(progress_);
  } catch (const ToolError& e) {
    f_.Error(medium::kArchiveFile, "cannot be opened as a zip archive (" + e.text + ")",
             "build the medium with setupmedium build");
    return;
  }
  std::string list;
  for (const archive::Entry& entry : zip->Entries()) {
    static const char* const kinds[] = {"not encrypted", "traditional encryption", "AES-128", "AES-256"};
    list += "\n           " + Shown(entry) + ", " + Size(entry.size) + ", " +
            (entry.unknownEncryption ? "unknown encryption" : kinds[static_cast<int>(entry.encryption)]);
    static const char* const methods[] = {"none", "traditional", "aes-128", "aes-256"};
    f_.Record({Printable(entry.name), entry.size, entry.packedSize, entry.deflated ? "deflated" : "stored",
               entry.unknownEncryption ? "unknown" : methods[static_cast<int>(entry.encryption)], entry.crc});
  }
  f_.Ok(medium::kArchiveFile, std::to_string(zip->Entries().size()) + " entries:" + list);

  // Every entry must open with the medium's password. Entries are read as
  // streams: an entry of any size takes no more memory than a small one.
  // Names are taken as the component takes them; the first extraction
  // writes the entries in the folder's top into the temporary folder,
  // where Setup.exe finds them by their code page 1252 names.
  const ScratchFolder& scratch = *scratch_;
  zip_ = zip.get();
  bool opened = true;
  bool installer = false;
  for (size_t i = 0; i < zip->Entries().size(); ++i) {
    const archive::Entry& entry = zip->Entries()[i];
    if (entry.folder) continue;
    const auto segments = SafeEntrySegments(Wide(entry.componentName));
    std::string cp1252;
    if (!segments) {
      f_.Warning(medium::kArchiveFile, "entry \"" + Shown(entry) + "\" is never extracted: the component "
                                           "refuses its name (it leaves the folder, names a device or holds a "
                                           "character Windows forbids)",
                 "pack the file under a plain name");
    } else if (segments->size() == 1 && Cp1252FromUtf8Text(entry.componentName, cp1252)) {
      topEntries_.emplace(CaseFolded(cp1252), static_cast<int>(i));
    }
    const bool isInstaller = CaseFolded(cp1252) == CaseFolded(medium::kInstallerFile);
    std::string head;
    try {
      if (isInstaller) {
        // Written out for its signature, its head kept for its kind.
        const fs::path written = Place(scratch, *zip, static_cast<int>(i), [&](const char* data, size_t size) {
          if (head.size() < kInstallerHead) head.append(data, std::min(size, kInstallerHead - head.size()));
        });
        if (CheckInstaller(head, entry.size)) installerPath_ = written;
        installer = true;
      } else {
        zip->Stream(static_cast<int>(i), medium::kArchivePassword, [](const char*, size_t) {});
      }
    } catch (const ToolError& e) {
      opened = false;
      if (e.damaged)
        f_.Error(medium::kArchiveFile, "entry " + Shown(entry) + " is damaged (" + e.text + ")",
                 "copy the medium again, or build it again");
      else
        f_.Error(medium::kArchiveFile, "entry " + Shown(entry) + " does not open with the medium's password (" +
                                           e.text + ")",
                 "pack the archive with setupmedium build, which uses the medium's password");
    }
  }
  if (opened) f_.Ok(medium::kArchiveFile, "every entry opens with the medium's password");
  if (!installer && topEntries_.count(CaseFolded(medium::kInstallerFile)) == 0)
    f_.Error(medium::kInstallerFile, "missing from the archive: Setup.exe has nothing to start",
             "name the installer in medium.installer");
  CheckSetupInfo();
}

// The entry the first extraction writes as name (code page 1252), placed
// in the scratch folder; none when the archive has no such entry (or it
// does not open, which is reported already).
std::optional<Extracted> Checker::Extract(const std::string& name) {
  const std::string folded = CaseFolded(name);
  const bool first = folded == CaseFolded(medium::kSetupInfoMask) || medium::IsLanguageFileName(name);
  const auto found = topEntries_.find(folded);
  if (!first || found == topEntries_.end()) return std::nullopt;
  try {
    Extracted extracted{Place(*scratch_, *zip_, found->second).string(), ""};
    if (zip_->Entries()[static_cast<size_t>(found->second)].size <= kHeldBytes)
      extracted.bytes = ReadWholeFile(fs::path(extracted.path)).value_or("");
    return extracted;
  } catch (const ToolError&) {
    return std::nullopt;
  }
}

}  // namespace setupmedium
