#include "BuildMedium.h"

#include "Archive.h"
#include "SetupFiles.h"
#include "Signing.h"
#include "app/core/MediumNames.h"

#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace setupmedium {
namespace {

[[noreturn]] void Fail(const std::string& text) { throw BuildError{text}; }

std::string Lower(std::string text) {
  for (char& c : text) if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

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

void Copy(const fs::path& from, const fs::path& to) {
  std::error_code error;
  if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, error))
    Fail("cannot copy " + from.u8string() + " to " + to.u8string() + ": " + error.message());
}

// A folder beside target that nothing else uses.
fs::path FreshFolder(const fs::path& target, const char* purpose) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path folder = target;
    folder += "." + std::string(purpose) + "-" + std::to_string(random() % 1000000);
    std::error_code error;
    if (fs::create_directory(folder, error)) return folder;
  }
  Fail("cannot make a temporary folder beside " + target.u8string());
}

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
    const std::string name = language.name + ".lng";
    if (!language.file.empty()) writer.AddFile(name, language.file.u8string());
    else writer.AddBytes(name, LanguageFile(language.name, language.texts));
  }
  for (const fs::path& extra : d.extraFiles) writer.AddFile(extra.filename().u8string(), extra.u8string());
  writer.AddFile(medium::kInstallerFile, d.installer.u8string());
  writer.Close(progress);
}

// Replaces target by the finished folder. An existing target must be a
// medium (or empty): anything else is left alone.
void MoveIntoPlace(const fs::path& built, const fs::path& target) {
  std::error_code error;
  if (!fs::exists(target, error)) {
    fs::rename(built, target, error);
    if (error) Fail("cannot move the medium to " + target.u8string() + ": " + error.message());
    return;
  }
  if (!fs::is_directory(target) ||
      (!fs::is_empty(target) && !fs::exists(target / medium::kArchiveFile) && !fs::exists(target / "Setup.exe")))
    Fail(target.u8string() + " exists and is not a medium folder; it is left as it is");
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

}  // namespace

void BuildMedium(const MediumDescription& d, const fs::path& target, const std::function<void(double)>& progress) {
  Require(d.setupExe, "program.setup_exe");
  Require(d.component, "program.component");
  Require(d.installer, "medium.installer");
  if (d.splash) Require(*d.splash, "medium.splash");
  for (const fs::path& extra : d.extraFiles) Require(extra, "medium.extra_files");
  if (!d.setupInfFile.empty()) Require(d.setupInfFile, "setup.file");
  for (const LanguageDescription& language : d.languages)
    if (!language.file.empty()) Require(language.file, ("languages." + language.name + ".file").c_str());
  const std::string splashExtension = d.splash ? SplashExtension(*d.splash) : "";
  if (d.signing) {  // the same build from signed copies of the programs
    const SignedPrograms programs(d);
    return BuildMedium(programs.Description(), target, progress);
  }

  fs::path absolute = fs::absolute(target);
  if (!absolute.has_filename()) absolute = absolute.parent_path();
  std::error_code error;
  fs::create_directories(absolute.parent_path(), error);
  const fs::path building = FreshFolder(absolute, "building");
  try {
    Copy(d.setupExe, building / "Setup.exe");
    Copy(d.component, building / medium::kComponentFile);
    if (d.splash) Copy(*d.splash, building / (std::string(medium::kSplashBaseName) + splashExtension));
    PackArchive(d, building / medium::kArchiveFile, progress);
    MoveIntoPlace(building, absolute);
  } catch (const archive::Error& e) {
    fs::remove_all(building, error);
    Fail(e.text);
  } catch (...) {
    fs::remove_all(building, error);
    throw;
  }
}

}  // namespace setupmedium
