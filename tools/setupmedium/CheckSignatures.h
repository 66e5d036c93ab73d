// The Authenticode signatures of a medium's programs as `setupmedium check`
// reports them, and the rule Setup.exe keeps: when Setup.exe is signed, the
// component and the installer must be signed by the same certificate and
// unchanged since, or Setup.exe stops before it copies or starts them.
#pragma once

#include "Findings.h"

#include <filesystem>
#include <optional>
#include <string>

namespace setupmedium {

struct ProgramSignature {
  enum State { None, Verifies, Changed };  // Changed: the digest or the signature does not verify
  State state = None;
  std::string signer;     // the signer certificate's common name
  std::string publisher;  // the SHA-256 of the signer certificate, in hexadecimal
};

// Reads the signature of the Windows program in file, a piece at a time (a
// program of any size takes little memory). Only the digest and the
// signature value are judged, never the certificate chain (as Setup.exe).
ProgramSignature ReadProgramSignature(const std::filesystem::path& file);

// Adds the findings on the three programs (a missing one is left out: its
// absence is reported elsewhere).
void CheckSignatures(Findings& findings, const std::optional<std::filesystem::path>& setupExe,
                     const std::optional<std::filesystem::path>& component,
                     const std::optional<std::filesystem::path>& installer);

}  // namespace setupmedium
