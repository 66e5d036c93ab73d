#include "BuildMedium.h"

#include "Archive.h"
#include "BuildProcess.h"
#include "CheckMedium.h"
#include "MediumFiles.h"
#include "MediumRecord.h"
#include "SetupFiles.h"
#include "Signing.h"
#include "app/core/MediumNames.h"
#include "vswriter/ValueWriter.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace setupmedium {
namespace {

[[noreturn]] void Fail(const std::string& text) { throw ToolError{text}; }

void Require(const fs::path& path, const char* what) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) Fail("missing file: " + path.u8string() + " (" + what + ")");
}

// The picture's extension as Setup.exe looks for it; ".jpeg" files are
// copied as "Setup.jpg".
std::string SplashExtension(const fs::path& picture) {
  std::string extension = Lower(picture.extension().u8string());
  if (extension == ".jpeg") extension = ".jpg";
  for (const char* known : medium::kSplashExtensions)
    if (extension == known) return extension;
  Fail("splash picture " + picture.u8string() + ": Setup.exe shows only .jpg, .bmp, .emf or .wmf pictures");
}

// The archive holds one file of a name (letter case aside, as Windows finds
// files): two files meant for one name are named by their keys.
void RequireDistinctEntries(const MediumDescription& d) {
  std::map<std::string, std::string> keys;  // lower-case entry name -> key and file
  const auto claim = [&](const std::string& name, const std::string& key) {
    const auto [at, fresh] = keys.emplace(Lower(name), key);
    if (!fresh)
      Fail(key + " and " + at->second + " would both be packed as \"" + name +
           "\"; the archive holds one file of a name: rename one of them");
  };
  claim(medium::kSetupInfoMask, d.setupInfFile.empty() ? "[setup]" : "setup.file");
  for (const LanguageDescription& language : d.languages) claim(language.name + medium::kLanguageExtension, "[languages." + language.name + "]");
  claim(medium::kInstallerFile, "medium.installer");
  for (const fs::path& extra : d.extraFiles)
    claim(extra.filename().u8string(), "medium.extra_files (" + extra.u8string() + ")");
}

void Copy(const fs::path& from, const fs::path& to) {
  std::error_code error;
  if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, error))
    Fail("cannot copy " + from.u8string() + " to " + to.u8string() + ": " + error.message());
}

// What the head of a file is, as far as the splash picture cares.
std::string KindOf(const std::string& head) {
  const auto at = [&](size_t offset, const std::string& bytes) { return head.compare(offset, bytes.size(), bytes) == 0; };
  if (at(0, "BM")) return ".bmp";
  if (at(0, "\xFF\xD8\xFF")) return ".jpg";
  if (at(0, std::string("\x01\0\0\0", 4)) && at(40, " EMF")) return ".emf";
  if (at(0, "\xD7\xCD\xC6\x9A") || at(0, std::string("\x01\0\x09\0", 4)) || at(0, std::string("\x02\0\x09\0", 4)))
    return ".wmf";
  if (at(0, "MZ")) return "a Windows program";
  if (at(0, "\x89PNG")) return "a PNG picture";
  if (at(0, "GIF8")) return "a GIF picture";
  return "no picture Setup.exe knows";
}

// The picture's content must be what its extension says: Setup.exe picks
// the reader by the extension, and a wrong one shows nothing or fails.
void CheckPictureKind(const fs::path& picture, const std::string& extension) {
  std::ifstream in(picture, std::ios::binary);
  std::string head(64, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  const std::string kind = KindOf(head);
  if (kind == extension) return;
  Fail("medium.splash: " + picture.u8string() + " is not a " + extension.substr(1) + " picture but " +
       (kind[0] == '.' ? "a " + kind.substr(1) + " picture" : kind) +
       "; save it in the format its extension names, or give it the right extension");
}

// Whether path is folder or lies inside it (both made absolute and real).
bool Inside(const fs::path& path, const fs::path& folder) {
  const auto [end, unused] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
  return end == folder.end();
}

fs::path Real(const fs::path& path) {
  std::error_code error;
  fs::path real = fs::weakly_canonical(fs::absolute(path), error);
  return error ? fs::absolute(path).lexically_normal() : real;
}

// A file to put on the medium: by its name there, from source; a folder
// when source is empty.
struct Placed {
  std::string name;
  fs::path source;
};

// The author's files, folders expanded into everything they hold.
std::vector<Placed> AuthorFiles(const MediumDescription& d) {
  std::vector<Placed> placed;
  std::set<std::string> names;
  const auto add = [&](const std::string& name, const fs::path& source) {
    // The folders it lies in come first.
    for (size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1))
      if (names.insert(Lower(name.substr(0, slash))).second) placed.push_back({name.substr(0, slash), {}});
    if (!names.insert(Lower(name)).second) Fail("medium.files: \"" + name + "\" is on the medium twice");
    placed.push_back({name, source});
  };
  for (const AuthorFile& file : d.files) {
    std::error_code error;
    const auto status = fs::symlink_status(file.source, error);
    if (fs::is_regular_file(fs::status(file.source, error))) {
      add(file.name, file.source);
      continue;
    }
    if (!fs::is_directory(status)) Fail("missing file or folder: " + file.source.u8string() + " (medium.files)");
    add(file.name, {});
    for (fs::recursive_directory_iterator it(file.source, error), end; !error && it != end; it.increment(error)) {
      const std::string name = file.name + "/" + it->path().lexically_relative(file.source).generic_u8string();
      if (it->is_symlink()) Fail("medium.files: " + it->path().u8string() + " is a link; put the file itself there");
      if (it->is_directory()) add(name, {});
      else if (it->is_regular_file()) add(name, it->path());
      else Fail("medium.files: " + it->path().u8string() + " is no file or folder");
    }
    if (error) Fail("cannot read " + file.source.u8string() + ": " + error.message());
  }
  return placed;
}

// The inputs of a build that the target must never hold.
std::vector<fs::path> Inputs(const MediumDescription& d) {
  std::vector<fs::path> inputs;
  if (!d.file.empty()) inputs.push_back(d.file);
  for (const fs::path& program : {d.setupExe, d.component, d.installer}) inputs.push_back(program);
  if (d.splash) inputs.push_back(*d.splash);
  if (!d.setupInfFile.empty()) inputs.push_back(d.setupInfFile);
  for (const fs::path& extra : d.extraFiles) inputs.push_back(extra);
  for (const LanguageDescription& language : d.languages)
    if (!language.file.empty()) inputs.push_back(language.file);
  for (const AuthorFile& file : d.files) inputs.push_back(file.source);
  return inputs;
}

void RefuseTargetHoldingInputs(const MediumDescription& d, const fs::path& target) {
  for (const fs::path& input : Inputs(d)) {
    const fs::path real = Real(input);
    if (Inside(real.parent_path(), target))
      Fail(target.u8string() + " holds " + input.u8string() +
           ", an input of the build; setupmedium builds only into a folder of the medium's own, e.g. " +
           (Real(d.file).parent_path() / "medium").u8string());
    std::error_code error;
    if (fs::is_directory(real, error) && Inside(target, real))
      Fail(target.u8string() + " lies in " + input.u8string() + ", a folder put on the medium; build elsewhere");
  }
}

std::string Listed(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size() && i < 8; ++i) text += (i ? ", " : "") + names[i];
  if (names.size() > 8) text += " and " + std::to_string(names.size() - 8) + " more";
  return text;
}

// An existing target must be empty or a medium that setupmedium wrote, as
// it wrote it: anything else is left alone.
void RefuseForeignTarget(const fs::path& target) {
  std::error_code error;
  const auto status = fs::symlink_status(target, error);
  if (!fs::exists(status)) return;
  if (!fs::is_directory(status))
    Fail(target.u8string() + " exists and is not a folder; it is left as it is");
  const RecordState state = CompareWithRecord(target);
  if (!state.strangers.empty())
    Fail(target.u8string() + " holds what setupmedium did not write: " + Listed(state.strangers) +
         "; it is left as it is. Build into a new folder, or move those away");
}

// Removes what killed builds of target left beside it: folders named as
// the temporary folders of a build, whose every file is on their record,
// and whose build is no longer running. Nothing else is touched.
void RemoveDebris(const fs::path& target) {
  std::error_code error;
  const std::string base = target.filename().u8string();
  for (fs::directory_iterator it(target.parent_path(), error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().u8string();
    bool debris = false;
    for (const std::string purpose : {".building-", ".old-"}) {
      const std::string prefix = base + purpose;
      debris = debris || (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
                          name.find_first_not_of("0123456789", prefix.size()) == std::string::npos);
    }
    if (!debris || it->is_symlink() || !it->is_directory()) continue;
    const RecordState state = CompareWithRecord(it->path());
    std::error_code ignored;
    if (state.recorded && !state.building && state.strangers.empty()) fs::remove_all(it->path(), ignored);
  }
}

// A folder beside target that nothing else uses.
fs::path FreshFolder(const fs::path& target, const char* purpose) {
  std::random_device random;
  std::error_code error;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path folder = target;
    folder += "." + std::string(purpose) + "-" + std::to_string(random() % 1000000);
    if (fs::create_directory(folder, error)) return folder;
    if (error == std::errc::read_only_file_system || error == std::errc::permission_denied ||
        error == std::errc::operation_not_permitted)
      break;
  }
  if (error == std::errc::read_only_file_system)
    Fail(target.parent_path().u8string() + " is on a read-only drive: the medium cannot be written there");
  if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted)
    Fail(target.parent_path().u8string() + " is read-only (no permission to write): the medium cannot be written there");
  Fail("cannot make a temporary folder beside " + target.u8string() + (error ? ": " + error.message() : ""));
}

// Entry names are UTF-8 (marked so in the archive when they go beyond
// ASCII): the component then writes the very characters the description
// gives, which Setup.exe finds by their code page 1252 names.
void PackArchive(const MediumDescription& d, const fs::path& path, const std::function<void(double)>& progress) {
  archive::Writer writer(path.u8string(), medium::kArchivePassword);
  if (!d.setupInfFile.empty()) {
    writer.AddFile(medium::kSetupInfoMask, d.setupInfFile.u8string());
  } else {
    SetupInfo info;
    info.version = d.formatVersion;
    info.languageFile = d.languageFile;
    info.productName = d.productName;
    info.productVersion = d.productVersion;
    info.silent = d.silent;
    writer.AddBytes(medium::kSetupInfoMask, SetupInfoFile(info));
  }
  for (const LanguageDescription& language : d.languages) {
    const std::string name = Utf8FromCp1252(language.name) + medium::kLanguageExtension;
    if (!language.file.empty()) writer.AddFile(name, language.file.u8string());
    else writer.AddBytes(name, LanguageFile(language.name, language.texts));
  }
  for (const fs::path& extra : d.extraFiles) {
    const std::string name = extra.filename().u8string();
    std::u16string unused;
    if (!Utf16FromUtf8Text(name, unused))
      Fail("medium.extra_files: the name of " + extra.u8string() + " is not UTF-8; rename the file");
    writer.AddFile(name, extra.u8string());
  }
  writer.AddFile(medium::kInstallerFile, d.installer.u8string());
  writer.Close(progress);
}

// Replaces target by the finished folder.
void MoveIntoPlace(const fs::path& built, const fs::path& target) {
  std::error_code error;
  if (!fs::exists(target, error)) {
    fs::rename(built, target, error);
    if (error) Fail("cannot move the medium to " + target.u8string() + ": " + error.message());
    return;
  }
  RefuseForeignTarget(target);  // again: it may have changed during the build
  const fs::path old = FreshFolder(target, "old");
  fs::remove(old);
  fs::rename(target, old, error);
  if (error) Fail("cannot replace " + target.u8string() + ": " + error.message());
  fs::rename(built, target, error);
  if (error) {
    fs::rename(old, target);
    Fail("cannot move the medium to " + target.u8string() + ": " + error.message());
  }
  fs::remove_all(old, error);
}

// Writes the medium of d, whose inputs are checked already, and puts it
// into place at absolute.
BuildResult Build(const MediumDescription& d, const fs::path& absolute, const std::string& splashExtension,
                  const std::vector<Placed>& authorFiles, const BuildOptions& options) {
  RefuseForeignTarget(absolute);
  std::error_code error;
  fs::create_directories(absolute.parent_path(), error);
  RemoveDebris(absolute);

  const std::string splashName = std::string(medium::kSplashBaseName) + splashExtension;
  std::vector<std::string> names = {medium::kProgramFile, medium::kComponentFile, medium::kArchiveFile};
  if (d.splash) names.push_back(splashName);
  for (const Placed& file : authorFiles) names.push_back(file.name + (file.source.empty() ? "/" : ""));

  const fs::path building = FreshFolder(absolute, "building");
  RemoveOnInterrupt interrupted(building);
  try {
    WritePlannedRecord(building, names);
    Copy(d.setupExe, building / medium::kProgramFile);
    Copy(d.component, building / medium::kComponentFile);
    if (d.splash) Copy(*d.splash, building / splashName);
    for (const Placed& file : authorFiles) {
      const fs::path to = building / fs::u8path(file.name);
      if (!file.source.empty()) Copy(file.source, to);
      else if (!fs::create_directory(to, error)) Fail("cannot make " + to.u8string() + ": " + error.message());
    }
    PackArchive(d, building / medium::kArchiveFile, options.progress);
    BuildResult result{CheckMedium(building), false};
    if (result.findings.Has(Severity::Error) && !options.force) {
      fs::remove_all(building, error);
      return result;
    }
    WriteRecord(building);
    MoveIntoPlace(building, absolute);
    result.placed = true;
    return result;
  } catch (const std::exception& e) {
    fs::remove_all(building, error);
    Fail(e.what());
  } catch (...) {
    fs::remove_all(building, error);
    throw;
  }
}

}  // namespace

BuildResult BuildMedium(const MediumDescription& d, const fs::path& target, const BuildOptions& options) {
  Require(d.setupExe, "program.setup_exe");
  Require(d.component, "program.component");
  Require(d.installer, "medium.installer");
  if (d.splash) Require(*d.splash, "medium.splash");
  for (const fs::path& extra : d.extraFiles) Require(extra, "medium.extra_files");
  if (!d.setupInfFile.empty()) Require(d.setupInfFile, "setup.file");
  for (const LanguageDescription& language : d.languages)
    if (!language.file.empty()) Require(language.file, ("languages." + language.name + ".file").c_str());
  const std::string splashExtension = d.splash ? SplashExtension(*d.splash) : "";
  if (d.splash) CheckPictureKind(*d.splash, splashExtension);
  RequireDistinctEntries(d);
  const std::vector<Placed> authorFiles = AuthorFiles(d);

  fs::path absolute = Real(target);
  if (!absolute.has_filename()) absolute = absolute.parent_path();
  RefuseTargetHoldingInputs(d, absolute);
  if (d.signing) {  // the same build from signed copies of the programs
    const SignedPrograms programs(d);
    return Build(programs.Description(), absolute, splashExtension, authorFiles, options);
  }
  return Build(d, absolute, splashExtension, authorFiles, options);
}

}  // namespace setupmedium
