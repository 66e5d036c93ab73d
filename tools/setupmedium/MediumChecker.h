// The checks of a medium folder, one file each: the programs, the splash
// picture, the archive and its entries, "Setup.inf" and the language file.
// One checker walks them in the order Setup.exe meets them and gathers the
// findings; CheckMedium.cpp runs it.
#pragma once

#include "Findings.h"
#include "MediumFiles.h"
#include "ScratchFolder.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace archive {
class Reader;
}
namespace medium {
class TSetupInfoReading;
}

namespace setupmedium {

class LossListener;

// An entry of the first extraction: where it lies and its bytes (empty when
// it is too large to hold: then its texts are read from the file only).
struct Extracted {
  std::string path;
  std::string bytes;
};

class Checker {
public:
  Checker(std::filesystem::path folder, const std::function<void(double)>& progress)
      : folder_(std::move(folder)), progress_(progress) {}

  Findings Run();

private:
  // Setup.exe, the component and the installer: Windows programs of one kind.
  void CheckProgram();
  void CheckComponent();
  bool CheckInstaller(const std::string& head, uint64_t size);

  // The splash picture and the window it makes.
  void CheckSplash();
  bool CheckJpeg(const std::string& name, const std::string& bytes, int& width, int& height);
  void SplashWindow(const std::string& name, int width, int height);

  // The archive, its password and the first extraction.
  void CheckArchive();
  std::optional<Extracted> Extract(const std::string& name);

  // "Setup.inf" and the language file it names, read as Setup.exe reads them.
  void CheckSetupInfo();
  void CheckLanguage(medium::TSetupInfoReading& reading, LossListener& losses);
  void CheckPlaceholders(const std::string& topic, int32_t number, const std::string& text);

  std::filesystem::path folder_;
  std::function<void(double)> progress_;
  Findings f_;
  uint16_t machine_ = kMachineI386;
  const archive::Reader* zip_ = nullptr;
  const ScratchFolder* scratch_ = nullptr;
  std::map<std::string, int> topEntries_;  // entries in the archive's top, by CaseFolded code page 1252 name
  // The programs, for their signatures: on the medium, and the installer as
  // written to the scratch folder.
  std::optional<std::filesystem::path> setupPath_, componentPath_, installerPath_;
};

}  // namespace setupmedium
