// The description of an installation medium, "medium.toml": where Setup.exe,
// the component, the splash picture and the installer come from, the head of
// "Setup.inf" and the texts of each language file, or the author's own
// "Setup.inf" and language files to pack unchanged. Paths are relative to
// the description's folder.
#pragma once

#include "ToolError.h"

#include "Signing.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace setupmedium {

// A fault of the description raises ToolError: "FILE:LINE: KEY: why".

struct LanguageDescription {
  std::string name;                      // the table's key: the file is NAME.lng
  std::filesystem::path file;            // the author's own file, packed unchanged
  std::map<int32_t, std::string> texts;  // or texts 1000-1002, code page 1252
};

// A file or folder of the author's own, put on the medium as it is.
struct AuthorFile {
  std::string name;              // on the medium, UTF-8, parts separated by '/'
  std::filesystem::path source;  // a file, or a folder copied whole
};

struct MediumDescription {
  std::filesystem::path file;  // the description itself
  std::filesystem::path setupExe;
  std::filesystem::path component;
  std::filesystem::path installer;
  std::optional<std::filesystem::path> splash;
  std::vector<std::filesystem::path> extraFiles;
  std::vector<AuthorFile> files;  // [medium] files

  // "Setup.inf": the author's own file, or one written from these values
  // (texts in code page 1252).
  std::filesystem::path setupInfFile;
  int32_t formatVersion = 5000;
  std::string languageFile;
  std::string productName;
  std::string productVersion;
  bool silent = false;

  std::vector<LanguageDescription> languages;

  // What is allowed but probably not meant, as "FILE:LINE: KEY: why".
  std::vector<std::string> warnings;
  // [signing]: sign the three programs before packing (Signing.h).
  std::optional<SigningDescription> signing;
};

// The names on a medium that setupmedium writes itself (lower case).
bool IsReservedMediumName(const std::string& name);

// Reads a description from text; fileName is what errors name and the
// folder that relative paths start from. Raises ToolError.
MediumDescription ParseMediumDescription(const std::string& text, const std::filesystem::path& fileName);
// Reads the description file; a file that cannot be read is a
// ToolError naming its path.
MediumDescription ReadMediumDescription(const std::filesystem::path& fileName);

}  // namespace setupmedium
