#include "CheckSignatures.h"

#include "app/core/MediumNames.h"

namespace setupmedium {
namespace {

std::string Signer(const ProgramSignature& s) {
  return "\"" + s.signer + "\" (certificate SHA-256 " + s.publisher + ")";
}

const char kSignAdvice[] = "build the medium with [signing], which signs all three programs with one certificate";

void CheckPart(Findings& f, const std::string& topic, const ProgramSignature& part,
               const ProgramSignature& setup, const std::string& stop) {
  if (setup.state != ProgramSignature::Verifies) {
    if (part.state == ProgramSignature::Changed)
      f.Warning(topic, "signature does not verify (changed since signing, or damaged)", kSignAdvice);
    else
      f.Ok(topic, part.state == ProgramSignature::None ? "not signed" : "signed by " + Signer(part));
    return;
  }
  if (part.state == ProgramSignature::None)
    f.Error(topic, "not signed, but Setup.exe is: Setup.exe stops " + stop, kSignAdvice);
  else if (part.state == ProgramSignature::Changed)
    f.Error(topic, "signature does not verify (changed since signing, or damaged): Setup.exe stops " + stop,
            kSignAdvice);
  else if (part.publisher != setup.publisher)
    f.Error(topic, "signed by " + Signer(part) + ", another publisher than Setup.exe's: Setup.exe stops " + stop,
            kSignAdvice);
  else
    f.Ok(topic, "signed by Setup.exe's publisher " + Signer(part));
}

}  // namespace

void CheckSignatures(Findings& f, const std::optional<std::filesystem::path>& setupExe,
                     const std::optional<std::filesystem::path>& component,
                     const std::optional<std::filesystem::path>& installer) {
  if (!setupExe) return;
  const ProgramSignature setup = ReadProgramSignature(*setupExe);
  if (setup.state == ProgramSignature::None)
    f.Ok("Setup.exe", "not signed: it copies and starts the medium's programs whatever their signatures");
  else if (setup.state == ProgramSignature::Changed)
    f.Error("Setup.exe", "signature does not verify (changed since signing, or damaged): Setup.exe stops at once",
            kSignAdvice);
  else
    f.Ok("Setup.exe", "signed by " + Signer(setup) + ": the component and the installer must be too");
  if (component)
    CheckPart(f, medium::kComponentFile, ReadProgramSignature(*component), setup, "before copying it");
  if (installer)
    CheckPart(f, medium::kInstallerFile, ReadProgramSignature(*installer), setup, "instead of starting it");
}

}  // namespace setupmedium
