// Signed media: with [signing] in the description, `setupmedium build` signs
// Setup.exe, XceedZip.dll and the installer (Authenticode, SHA-256, with
// Debian's osslsigncode) before it packs them. The inputs stay untouched:
// the signed copies are made in a scratch folder of their own.
#pragma once

#include "BuildProcess.h"
#include "ScratchFolder.h"

#include <filesystem>
#include <memory>
#include <string>

namespace setupmedium {

// [signing]: a PKCS#12 file, or a PEM certificate with its PEM key; the
// password is read from the environment variable named here (none: the key
// needs none); an optional timestamp server.
struct SigningDescription {
  std::filesystem::path certificate;
  std::filesystem::path key;        // empty: certificate is PKCS#12
  std::string passwordVariable;     // empty: no password
  std::string timestampServer;      // empty: no timestamp
};

struct MediumDescription;

// The description's programs signed into a scratch folder, removed again
// when this goes; Description() names the signed copies (and no [signing]).
// Raises ToolError when a program cannot be signed.
class SignedPrograms {
public:
  explicit SignedPrograms(const MediumDescription& d);
  ~SignedPrograms();
  SignedPrograms(const SignedPrograms&) = delete;
  SignedPrograms& operator=(const SignedPrograms&) = delete;
  const MediumDescription& Description() const { return *signed_; }

private:
  ScratchFolder scratch_;  // first made, last gone: the signed copies live in it
  RemoveOnInterrupt interrupted_{scratch_.Path()};  // the copies and the password file too
  std::unique_ptr<MediumDescription> signed_;
};

}  // namespace setupmedium
