#include "MediumChecker.h"

#include "ReportText.h"
#include "app/core/MediumNames.h"

namespace setupmedium {

void Checker::CheckProgram() {
  const auto path = FindInFolder(folder_, medium::kProgramFile);
  const auto bytes = path ? ReadWholeFile(*path) : std::nullopt;
  if (!bytes) {
    f_.Error(medium::kProgramFile, "missing", "put Setup.exe (the i686 build) into the medium's folder");
    return;
  }
  const WindowsImage image = ReadWindowsImage(*bytes);
  if (!image.valid || image.library) {
    f_.Error(medium::kProgramFile, "not a Windows program", "copy Setup.exe from the build again");
    return;
  }
  machine_ = image.machine;
  setupPath_ = path;
  f_.Ok(medium::kProgramFile, "Windows program for " + MachineName(image.machine));
}

void Checker::CheckComponent() {
  const auto path = FindInFolder(folder_, medium::kComponentFile);
  const auto bytes = path ? ReadWholeFile(*path) : std::nullopt;
  if (!bytes) {
    f_.Error(medium::kComponentFile, "missing: Setup.exe ends at once without a message (exit code 0)",
             "put XceedZip.dll into the medium's folder");
    return;
  }
  const WindowsImage image = ReadWindowsImage(*bytes);
  if (!image.valid || !image.library) {
    f_.Error(medium::kComponentFile, "not a Windows DLL: it cannot be registered and the archive is never opened",
             "copy XceedZip.dll from the build again");
  } else if (image.machine != machine_) {
    f_.Error(medium::kComponentFile,
             "a DLL for " + MachineName(image.machine) + ", but Setup.exe is for " + MachineName(machine_) +
                 ": it cannot be loaded, the zip component is never created",
             "take XceedZip.dll from the same build as Setup.exe");
  } else {
    componentPath_ = path;
    f_.Ok(medium::kComponentFile, "Windows DLL for " + MachineName(image.machine) + ", " + Size(bytes->size()));
  }
}

// Whether the installer is a Windows program.
bool Checker::CheckInstaller(const std::string& head, uint64_t size) {
  const WindowsImage image = ReadWindowsImage(head);
  if (!image.valid || image.library) {
    f_.Error(medium::kInstallerFile, "not a Windows program: starting it fails without a message",
             "name the installer program in medium.installer");
    return false;
  }
  f_.Ok(medium::kInstallerFile, "Windows program for " + MachineName(image.machine) + ", " + Size(size));
  return true;
}

}  // namespace setupmedium
