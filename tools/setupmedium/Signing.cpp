#include "Signing.h"

#include "BuildMedium.h"
#include "MediumDescription.h"
#include "MediumFiles.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include "ChildProcess.h"
#endif

namespace fs = std::filesystem;

namespace setupmedium {
namespace {

[[noreturn]] void Fail(const std::string& text) { throw ToolError{text}; }

// The password from the environment, written to a file only the user can
// read (osslsigncode -readpass), so that it never shows in a command line.
fs::path PasswordFile(const SigningDescription& s, const fs::path& scratch) {
  const char* password = std::getenv(s.passwordVariable.c_str());
  if (!password) Fail("signing: the environment variable " + s.passwordVariable + " (signing.password_env) is not set");
  const fs::path file = scratch / "password";
  std::ofstream out(file, std::ios::binary);
  if (!(out << password) || !out.flush()) Fail("signing: cannot write " + file.u8string());
  return file;
}

#ifdef _WIN32
void Run(const std::vector<std::string>&, const fs::path&, const fs::path&) {
  Fail("signing: osslsigncode is run by the Linux build of setupmedium only; build signed media there");
}
#else
// Runs the command (found on PATH) with its output going to log; fails,
// naming the program being signed, when it does not succeed.
void Run(const std::vector<std::string>& arguments, const fs::path& log, const fs::path& program) {
  const ProgramRun run = RunProgram(arguments, log);
  if (!run.started) Fail("signing: cannot start " + arguments[0] + " (install Debian's osslsigncode)");
  if (!run.exited || run.code != 0) {
    std::string said = ReadWholeFile(log).value_or("");
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r')) said.pop_back();
    Fail("signing " + program.u8string() + " failed: " + said);
  }
}
#endif

// Signs in into out (a new file), SHA-256.
void Sign(const SigningDescription& s, const fs::path& password, const fs::path& in, const fs::path& out,
          const fs::path& log) {
  std::vector<std::string> command = {"osslsigncode", "sign"};
  if (s.key.empty()) command.insert(command.end(), {"-pkcs12", s.certificate.u8string()});
  else command.insert(command.end(), {"-certs", s.certificate.u8string(), "-key", s.key.u8string()});
  if (!password.empty()) command.insert(command.end(), {"-readpass", password.u8string()});
  command.insert(command.end(), {"-h", "sha256"});
  if (!s.timestampServer.empty()) command.insert(command.end(), {"-ts", s.timestampServer});
  command.insert(command.end(), {"-in", in.u8string(), "-out", out.u8string()});
  Run(command, log, in);
}

}  // namespace

SignedPrograms::SignedPrograms(const MediumDescription& d)
    : scratch_("signing"), signed_(std::make_unique<MediumDescription>(d)) {
  const fs::path& folder = scratch_.Path();
  const SigningDescription& s = *d.signing;
  for (const fs::path& file : {s.certificate, s.key})
    if (!file.empty() && !fs::is_regular_file(file))
      Fail("missing file: " + file.u8string() + " (signing)");
  const fs::path password = s.passwordVariable.empty() ? fs::path() : PasswordFile(s, folder);
  const fs::path log = folder / "osslsigncode.log";
  Sign(s, password, d.setupExe, signed_->setupExe = folder / "Setup.exe", log);
  Sign(s, password, d.component, signed_->component = folder / "component.dll", log);
  Sign(s, password, d.installer, signed_->installer = folder / "installer.exe", log);
  signed_->signing.reset();
}

SignedPrograms::~SignedPrograms() = default;

}  // namespace setupmedium
