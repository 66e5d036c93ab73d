// setupmedium: describe, build, check, inspect and preview an installation
// medium. See the README's "Making a medium".
#include "Archive.h"
#include "BuildMedium.h"
#include "CheckMedium.h"
#include "ReportText.h"
#include "ConsoleText.h"
#include "Inspect.h"
#include "InstalledFiles.h"
#include "MediumDescription.h"
#include "StarterDescription.h"
#include "app/core/MediumNames.h"
#include "runtime/core/Failures.h"
#include "vswriter/Description.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#ifdef _WIN32
#include <io.h>
#else
#include "ChildProcess.h"

#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace setupmedium;

namespace {

// A TOML basic string of a path.
std::string TomlPath(const fs::path& path) {
  std::string text = "\"";
  for (char c : path.generic_u8string()) {
    if (c == '"' || c == '\\') text += '\\';
    text += c;
  }
  return text + "\"";
}

// The starter description; an installed setupmedium (share: where it was
// installed) points it at the shipped i686 program files installed with it.
std::string StarterDescription(const std::optional<fs::path>& share) {
  std::string text = kStarterDescription;
  if (!share) return text;
  for (const auto& [key, file] : {std::pair{"setup_exe = ", "Setup.exe"}, std::pair{"component = ", "XceedZip.dll"}}) {
    const std::string line = std::string(key) + "\"" + file + "\"";
    const size_t at = text.find(line);
    const fs::path installed = *share / "i686" / file;
    std::error_code error;
    if (at != std::string::npos && fs::is_regular_file(installed, error))
      text.replace(at, line.size(), key + TomlPath(installed));
  }
  return text;
}

int Init(const std::string& folder) {
  const fs::path dir = fs::u8path(folder);
  const fs::path file = dir / "medium.toml";
  std::error_code error;
  if (fs::exists(file, error)) {
    Print(stderr, "setupmedium: " + file.u8string() + " exists already; it is left as it is\n");
    return 2;
  }
  fs::create_directories(dir, error);
  std::ofstream out(file, std::ios::binary);
  const auto share = InstalledShare();
  const std::string starter = StarterDescription(share);
  if (!(out << starter) || !out.flush()) {
    Print(stderr, "setupmedium: cannot write " + file.u8string() + "\n");
    return 2;
  }
  Print(stdout, "setupmedium: wrote " + file.u8string() +
                    (starter == kStarterDescription ? "\nPut Setup.exe, XceedZip.dll, your installer (installer.exe) and "
                                                      "the splash picture beside it, or change the paths"
                                                    : "\nIt takes Setup.exe and XceedZip.dll from " +
                                                          share->u8string() +
                                                          "; put your installer (installer.exe) and the splash "
                                                          "picture beside it, or change the paths") +
                    "; then: setupmedium build " + file.u8string() + " OUTDIR\n");
  return 0;
}

// Progress of a long step on standard error, shown for large archives: on
// a terminal one line counts up, elsewhere (a log) a line every 10 %. The
// line is ended when the step is.
constexpr uintmax_t kLargeArchive = 16u << 20;

class ProgressLine {
public:
  ProgressLine(std::string what, bool shown) : what_(std::move(what)), shown_(shown) {}
  ~ProgressLine() {
    if (percent_ >= 0 && terminal_) Print(stderr, "\n");
  }
  void operator()(double share) {
    const int percent = static_cast<int>(share * 100);
    if (!shown_ || percent == percent_ || (!terminal_ && percent_ >= 0 && percent / 10 == percent_ / 10)) return;
    percent_ = percent;
    const std::string line = "setupmedium: " + what_ + " " + std::to_string(percent) + "%";
    Print(stderr, terminal_ ? "\r" + line : line + "\n");
  }

private:
  std::string what_;
  bool shown_;
  bool terminal_ = isatty(fileno(stderr)) != 0;
  int percent_ = -1;
};

std::function<void(double)> Progress(const std::string& what, bool shown) {
  auto line = std::make_shared<ProgressLine>(what, shown);
  return [line](double share) { (*line)(share); };
}

int Build(const std::string& description, const std::string& target, bool quiet, bool force) {
  BuildResult result;
  std::optional<MediumDescription> read;
  try {
    read.emplace(ReadMediumDescription(fs::u8path(description)));
  } catch (const ToolError& e) {
    Print(stderr, e.text + "\n");
    return 2;
  }
  const MediumDescription& d = *read;
  for (const std::string& warning : d.warnings) Print(stderr, warning + "\n");
  try {
    std::error_code error;
    const bool large = fs::file_size(d.installer, error) >= kLargeArchive && !error;
    BuildOptions options;
    options.force = force;
    options.progress = Progress(std::string("packing ") + medium::kArchiveFile, !quiet && large);
    result = BuildMedium(d, fs::u8path(target), options);
  } catch (const ToolError& e) {
    Print(stderr, "setupmedium: " + e.text + "\n");
    return 2;
  }
  if (!result.placed) {
    Print(stdout, result.findings.Text());
    Print(stderr, "setupmedium: the medium has errors and was not put into place (" + target +
                      " is as it was); --force keeps it all the same\n");
    return 2;
  }
  if (result.findings.ExitCode() != 0) Print(stdout, result.findings.Text());
  if (!quiet) Print(stdout, "setupmedium: medium in " + target + "\n");
  return 0;  // with errors only when --force asked for it
}

int Check(const std::string& folder, bool json) {
  std::error_code error;
  const auto size = fs::file_size(fs::u8path(folder) / medium::kArchiveFile, error);
  const bool large = !error && size >= kLargeArchive;
  const Findings findings =
      CheckMedium(fs::u8path(folder), Progress(std::string("checking ") + medium::kArchiveFile, large));
  Print(stdout, json ? findings.Json(folder) : findings.Text());
  return findings.ExitCode();
}

int InspectFile(const std::string& file, const std::string& entry, InspectAs as, const std::string& write) {
  if (!write.empty()) {  // FILE is a description of values: write them
    std::ifstream in(fs::u8path(file), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string bytes, error;
    if (!in) {
      Print(stderr, "setupmedium: cannot read " + file + "\n");
      return 2;
    }
    if (!BuildValueStream(text, bytes, error)) {
      Print(stderr, file + ":" + error.substr(5) + "\n");  // "FILE:N: why"
      return 2;
    }
    std::ofstream out(fs::u8path(write), std::ios::binary);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush()) {
      Print(stderr, "setupmedium: cannot write " + write + "\n");
      return 2;
    }
    return 0;
  }
  try {
    const InspectResult result = Inspect(file, entry, as);
    Print(stdout, result.text);
    return result.readable ? 0 : 1;
  } catch (const ToolError& e) {
    Print(stderr, "setupmedium: " + e.text + "\n");
    return 2;
  }
}

#ifndef _WIN32
// The preview script: the installed one, or the source tree's for a
// program run from its build tree. Its exit code is the preview's.
int Preview(const std::string& folder, const std::string& out) {
  const auto share = InstalledShare();
  const std::string script = share ? (*share / "preview" / "preview.sh").string() : SETUPMEDIUM_PREVIEW_SCRIPT;
  const ProgramRun run = RunProgram({"bash", script, folder, out});
  if (!run.started) {
    Print(stderr, "setupmedium: cannot start bash for the preview\n");
    return 2;
  }
  return run.exited ? run.code : 2;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  // The name is set: usage lines show it, not the path the program was
  // started by.
#ifdef _WIN32
  CLI::App app{"setupmedium: describe, build, check and inspect an installation medium", "setupmedium"};
#else
  CLI::App app{"setupmedium: describe, build, check, inspect and preview an installation medium", "setupmedium"};
#endif
  app.set_version_flag("--version", "setupmedium " SETUPMEDIUM_VERSION);
  app.require_subcommand(1);
  std::string dir, description, out, file, entry, write;
  bool json = false, quiet = false, plain = false, setupInf = false, language = false, force = false;

  CLI::App* init = app.add_subcommand("init", "write a starter description DIR/medium.toml");
  init->add_option("DIR", dir, "folder for the description")->required();
  CLI::App* build = app.add_subcommand("build", "build the medium folder OUTDIR from a description");
  build->add_option("DESCRIPTION", description, "medium.toml")->required();
  build->add_option("OUTDIR", out, "the medium folder to make or replace")->required();
  build->add_flag("--quiet", quiet, "no progress and no closing line");
  build->add_flag("--force", force, "put the medium into place even when its check finds errors");
  CLI::App* check = app.add_subcommand("check", "check a medium as Setup.exe will read it (exit 0, 1 warnings, 2 errors)");
  check->add_option("DIR", dir, "medium folder or drive")->required();
  check->add_flag("--json", json, "the findings as JSON");
  CLI::App* inspect = app.add_subcommand("inspect", "print a value stream file, also one inside an archive");
  inspect->add_option("FILE", file, "value stream file, or archive with --entry")->required();
  inspect->add_option("--entry", entry, "the file inside the archive FILE (read with the medium's password)");
  auto* plainFlag = inspect->add_flag("--plain", plain, "without offsets: a description --write turns back into the bytes");
  auto* infFlag = inspect->add_flag("--setup-inf", setupInf, "read as Setup.exe reads Setup.inf");
  auto* lngFlag = inspect->add_flag("--language", language, "read as Setup.exe reads a language file");
  inspect->add_option("--write", write, "FILE is a description of values: write them to this file");
  plainFlag->excludes(infFlag)->excludes(lngFlag);
  infFlag->excludes(lngFlag);
#ifndef _WIN32
  CLI::App* preview = app.add_subcommand("preview", "run Setup.exe on the medium under Wine; screenshots and report in OUTDIR");
  preview->add_option("DIR", dir, "medium folder")->required();
  preview->add_option("OUTDIR", out, "folder for screenshots and report")->required();
#endif

  if (argc > 1 && argv[1][0] != '-') {
    bool known = false;
    std::string names;
    for (const CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
      known = known || command->get_name() == argv[1];
      names += (names.empty() ? "" : ", ") + command->get_name();
    }
    if (!known) {
      Print(stderr, "setupmedium: unknown command \"" + std::string(argv[1]) + "\"; the commands are " + names +
                        " (setupmedium --help)\n");
      return 2;
    }
  }
  try {
    ParseArguments(app, argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }
  try {
    if (*init) return Init(dir);
    if (*build) return Build(description, out, quiet, force);
    if (*check) return Check(dir, json);
    if (*inspect) {
      const InspectAs as = setupInf ? InspectAs::SetupInfo : language ? InspectAs::Language
                           : plain  ? InspectAs::PlainValues : InspectAs::Values;
      return InspectFile(file, entry, as, write);
    }
#ifndef _WIN32
    if (*preview) return Preview(dir, out);
#endif
  } catch (const Exception& e) {
    Print(stderr, "setupmedium: " + Printable(e.Message()) + "\n");
  } catch (const std::exception& e) {
    Print(stderr, std::string("setupmedium: ") + e.what() + "\n");
  }
  return 2;
}
