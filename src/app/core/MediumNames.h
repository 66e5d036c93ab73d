// The names of an installation medium's files and the archive's password:
// what the start-up program looks for in the source folder, inside
// "_Setup.lib" and in the temporary folder. The file system matches names
// without regard to letter case.
#pragma once

#include <string_view>

namespace medium {

// In the source folder.
inline constexpr char kProgramFile[] = "Setup.exe";
inline constexpr char kComponentFile[] = "XceedZip.dll";
inline constexpr char kArchiveFile[] = "_Setup.lib";
inline constexpr char kSplashBaseName[] = "Setup";
// Splash picture extensions, in the order the first existing file wins.
inline constexpr const char* kSplashExtensions[] = {".jpg", ".bmp", ".emf", ".wmf"};

// Inside the archive: the masks of the first extraction, then the installer.
inline constexpr char kLanguageMask[] = "*.lng";
inline constexpr const char* kLanguageExtension = kLanguageMask + 1;
// Whether that mask takes a file of this name: it ends in the extension, in
// any letter case.
inline bool IsLanguageFileName(std::string_view name) {
  const std::string_view extension = kLanguageExtension;
  if (name.size() < extension.size()) return false;
  for (size_t i = 0, at = name.size() - extension.size(); i < extension.size(); ++i) {
    char c = name[at + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != extension[i]) return false;
  }
  return true;
}
inline constexpr char kSetupInfoMask[] = "Setup.inf";
inline constexpr char kInstallerFile[] = "_inst32d.exe";

// In the temporary folder: the setup information as it is tested and opened.
inline constexpr char kSetupInfoFile[] = "setup.inf";

inline constexpr char kArchivePassword[] = "K470395";

}  // namespace medium
