#include "MediumDescription.h"

#include "MediumFiles.h"
#include "MediumRecord.h"
#include "EntryPath.h"
#include "app/core/MediumNames.h"
#include "app/core/MediumReading.h"
#include "app/core/SetupInfo.h"
#include "runtime/core/CodePage1252.h"
#include "vswriter/ValueWriter.h"

#include <toml++/toml.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <set>
#include <iterator>

namespace fs = std::filesystem;

namespace setupmedium {
namespace {

// The language texts a description names, by key.
const std::pair<const char*, int32_t> kTextKeys[] = {
    {"title", medium::kTitleText}, {"body", medium::kBodyText}, {"wait", medium::kWaitText}};

// The format versions Setup.inf is documented in.
constexpr int32_t kDocumentedVersions[] = {0, setupinfo::kBooleanSecondField, setupinfo::kSilentFlagFields,
                                           setupinfo::kSeventhField, setupinfo::kEighthFields};

// A name on the medium as the component's rules allow it, its parts joined
// by '/'; empty when the rules refuse it.
std::string MediumName(const std::string& utf8) {
  if (!SafeEntrySegments(Wide(utf8)) || utf8.find('\\') != std::string::npos) return "";
  std::string name;
  for (size_t start = 0; start <= utf8.size();) {
    const size_t end = std::min(utf8.find('/', start), utf8.size());
    const std::string segment = utf8.substr(start, end - start);
    if (!segment.empty() && segment != ".") name += (name.empty() ? "" : "/") + segment;
    start = end + 1;
  }
  return name;
}

}  // namespace

bool IsReservedMediumName(const std::string& name) {
  const std::string lower = Lower(name.substr(0, name.find('/')));
  for (const char* taken : {medium::kProgramFile, medium::kComponentFile, medium::kArchiveFile, kRecordFile})
    if (lower == Lower(taken)) return true;
  for (const char* extension : medium::kSplashExtensions)
    if (lower == Lower(medium::kSplashBaseName + std::string(extension))) return true;
  return false;
}

namespace {

// Key paths deeper than this are refused before the reader sees them: the
// description needs three parts (languages.NAME.title), and the reader
// recurses once per part, so a key of a few hundred thousand parts would run
// it out of stack.
constexpr int kMaxKeyParts = 8;

// The line of the first byte that is not UTF-8, or 0.
int64_t FirstLineNotUtf8(const std::string& text) {
  int64_t line = 1;
  char32_t code;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == '\n') ++line;
    if (!NextUtf8(text, i, code)) return line;
  }
  return 0;
}

// The first character of a UTF-8 text that code page 1252 cannot hold, as
// "\"X\" (U+XXXX)"; empty when there is none.
std::string CharacterOutsideCp1252(const std::string& utf8) {
  char32_t code;
  uint8_t unused;
  for (size_t i = 0, at = 0; i < utf8.size(); at = i) {
    if (!NextUtf8(utf8, i, code)) return "";
    if (!Cp1252FromUnicode(code, unused)) {
      char number[16];
      std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(code));
      return "\"" + utf8.substr(at, i - at) + "\" (" + number + ")";
    }
  }
  return "";
}

// Why the text is not handed to the reader, and where.
struct Refusal {
  int64_t line = 0;  // 0: handed over
  std::string why;
};

// The reader is given ASCII only: Debian's toml++ 3.3 reaches an unreachable
// branch when it asks whether some characters beyond ASCII (umlauts among
// them) are blank, which it does wherever its reading goes astray in a
// damaged file. So every character beyond ASCII in a double-quoted text is
// written as its \u or \U escape, which gives the reader the same text; one
// anywhere else (bare or in a single-quoted text) is refused. A comment's
// characters become '?'. Also refused: a text in quotes that is not closed,
// and a line whose keys have more than kMaxKeyParts parts. The text is UTF-8.
Refusal AsciiForReader(const std::string& text, std::string& out) {
  out.clear();
  int64_t line = 1;
  int dots = 0;  // on this line, outside texts and comments
  size_t i = 0;
  const auto starts = [&](const char* token) { return text.compare(i, std::strlen(token), token) == 0; };
  const std::string beyondAscii = "characters beyond ASCII belong in double-quoted texts or comments (a key "
                                  "with them in double quotes, e.g. [languages.\"Fran\xC3\xA7" "ais\"])";
  // Copies one character of a text; false when it cannot stand there.
  const auto copy = [&](bool basic) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      if (text[i] == '\n') ++line, dots = 0;
      out += text[i++];
      return true;
    }
    char32_t code;
    if (!basic || !NextUtf8(text, i, code)) return false;
    char digits[12];
    std::snprintf(digits, sizeof digits, code > 0xFFFF ? "\\U%08X" : "\\u%04X", static_cast<unsigned>(code));
    out += digits;
    return true;
  };
  while (i < text.size()) {
    const char c = text[i];
    if (c == '#') {
      while (i < text.size() && text[i] != '\n') {
        out += static_cast<unsigned char>(text[i]) < 0x80 ? text[i] : '?';
        ++i;
      }
    } else if (starts("\"\"\"") || starts("\'\'\'")) {
      const std::string close = text.substr(i, 3);
      const bool basic = close[0] == '"';
      const int64_t opened = line;
      out += close;
      i += 3;
      while (i < text.size() && !starts(close.c_str())) {
        if (basic && text[i] == '\\' && i + 1 < text.size() && text[i + 1] != '\n') out += text[i++];
        if (!copy(basic)) return Refusal{line, beyondAscii};
      }
      if (i >= text.size())
        return Refusal{opened, "the text in " + close + " that starts here is never closed: end it with " + close};
      out += close, i += 3;
    } else if (c == '"' || c == '\'') {
      const bool basic = c == '"';
      out += text[i++];
      while (i < text.size() && text[i] != c && text[i] != '\n') {
        if (basic && text[i] == '\\' && i + 1 < text.size() && text[i + 1] != '\n') out += text[i++];
        if (!copy(basic)) return Refusal{line, beyondAscii};
      }
      if (i >= text.size() || text[i] != c)
        return Refusal{line, std::string("a text in quotes is not closed on its line: end it with ") + c};
      out += text[i++];
    } else {
      if (c == '.' && ++dots >= kMaxKeyParts)
        return Refusal{line, "a key with more than " + std::to_string(kMaxKeyParts) +
                                 " dotted parts; a description needs at most three (languages.NAME.title)"};
      if (!copy(false)) return Refusal{line, beyondAscii};
    }
  }
  return {};
}

class Parser {
public:
  explicit Parser(fs::path fileName) : fileName_(std::move(fileName)), folder_(fileName_.parent_path()) {}

  MediumDescription Parse(const std::string& text) {
    std::string ascii;
    if (const int64_t line = FirstLineNotUtf8(text))
      Fail(line, "", "not UTF-8: save the description as UTF-8 (this line holds a byte of another encoding)");
    if (const Refusal refusal = AsciiForReader(text, ascii); refusal.line) Fail(refusal.line, "", refusal.why);
    try {
      root_ = toml::parse(ascii, fileName_.u8string());
    } catch (const toml::parse_error& e) {
      Fail(e.source().begin.line, "", std::string(e.description()));
    }
    MediumDescription d;
    d.file = fileName_;
    Allowed(root_, "", {"program", "medium", "setup", "languages", "signing"});
    const toml::table& program = Table(root_, "program", true);
    Allowed(program, "program", {"setup_exe", "component"});
    d.setupExe = Path(program, "program", "setup_exe", true);
    d.component = Path(program, "program", "component", true);

    const toml::table& medium = Table(root_, "medium", true);
    Allowed(medium, "medium", {"installer", "splash", "extra_files", "files"});
    d.installer = Path(medium, "medium", "installer", true);
    if (medium.contains("splash")) d.splash = Path(medium, "medium", "splash", true);
    if (const toml::node* extra = medium.get("extra_files")) {
      const toml::array* list = extra->as_array();
      if (!list) Fail(*extra, "medium.extra_files", "must be a list of paths");
      for (const toml::node& item : *list) {
        const auto* path = item.as_string();
        if (!path || path->get().empty()) Fail(item, "medium.extra_files", "every item must be a path");
        d.extraFiles.push_back(Resolve(path->get()));
      }
    }
    if (const toml::node* files = medium.get("files")) ReadFiles(*files, d);

    ReadSetup(Table(root_, "setup", true), d);
    ReadLanguages(d);
    CheckLanguageFile(d);
    if (root_.contains("signing")) ReadSigning(Table(root_, "signing", true), d);
    return d;
  }

private:
  [[noreturn]] void Fail(int64_t line, const std::string& key, const std::string& why) const {
    std::string text = fileName_.u8string() + ":" + std::to_string(line) + ": ";
    if (!key.empty()) text += key + ": ";
    throw ToolError{text + why};
  }
  [[noreturn]] void Fail(const toml::node& node, const std::string& key, const std::string& why) const {
    Fail(node.source().begin.line, key, why);
  }

  static std::string Join(const std::string& table, const std::string& key) {
    return table.empty() ? key : table + "." + key;
  }

  // Unknown keys are faults: a misspelt key would otherwise be ignored.
  void Allowed(const toml::table& table, const std::string& name, std::set<std::string> keys) const {
    for (auto&& [key, value] : table)
      if (!keys.count(std::string(key.str())))
        Fail(key.source().begin.line, Join(name, std::string(key.str())), "unknown key");
  }

  const toml::table& Table(const toml::table& parent, const std::string& key, bool required) const {
    static const toml::table kEmpty;
    const toml::node* node = parent.get(key);
    if (!node) {
      if (required) Fail(1, key, "table [" + key + "] is missing");
      return kEmpty;
    }
    if (!node->is_table()) Fail(*node, key, "must be a table");
    return *node->as_table();
  }

  const toml::node* Node(const toml::table& table, const std::string& name, const std::string& key,
                         bool required) const {
    const toml::node* node = table.get(key);
    if (!node && required) {
      const int64_t line = table.source().begin.line > 0 ? table.source().begin.line : 1;
      Fail(line, Join(name, key), "missing");
    }
    return node;
  }

  std::string String(const toml::table& table, const std::string& name, const std::string& key,
                     bool required) const {
    const toml::node* node = Node(table, name, key, required);
    if (!node) return {};
    if (!node->is_string()) Fail(*node, Join(name, key), "must be a text in quotes");
    return node->as_string()->get();
  }

  fs::path Resolve(const std::string& utf8) const {
    fs::path path = fs::u8path(utf8);
    return path.is_absolute() ? path : folder_ / path;
  }

  fs::path Path(const toml::table& table, const std::string& name, const std::string& key, bool required) const {
    const std::string text = String(table, name, key, required);
    if (text.empty() && required) Fail(*table.get(key), Join(name, key), "must name a file");
    return text.empty() ? fs::path() : Resolve(text);
  }

  // Texts reach the files in code page 1252, the program's ANSI code page.
  // Line breaks and tabs written into the text become the "\n" and "\t"
  // the language table expands.
  std::string Cp1252(const toml::table& table, const std::string& name, const std::string& key,
                     bool required, bool escapes) const {
    std::string utf8 = String(table, name, key, required);
    if (escapes) {
      std::string escaped;
      for (char c : utf8) escaped += c == '\n' ? "\\n" : c == '\t' ? "\\t" : std::string(1, c);
      utf8 = escaped;
    }
    std::string bytes;
    if (!Cp1252FromUtf8Text(utf8, bytes))
      Fail(*table.get(key), Join(name, key),
           "has " + CharacterOutsideCp1252(utf8) + ", which code page 1252 cannot hold (Setup.exe shows its texts "
                                                   "in code page 1252)");
    return bytes;
  }

  void ReadSetup(const toml::table& setup, MediumDescription& d) const {
    Allowed(setup, "setup", {"file", "format_version", "language_file", "product_name", "product_version", "silent"});
    if (setup.contains("file")) {
      for (auto&& [key, value] : setup)
        if (key.str() != "file")
          Fail(key.source().begin.line, "setup." + std::string(key.str()),
               "not allowed beside setup.file (your own Setup.inf is packed unchanged)");
      d.setupInfFile = Path(setup, "setup", "file", true);
      return;
    }
    if (const toml::node* version = Node(setup, "setup", "format_version", false)) {
      const auto value = version->value<int64_t>();
      if (!version->is_integer() || !value || *value < 0 || *value > std::numeric_limits<int32_t>::max())
        Fail(*version, "setup.format_version", "must be a whole number from 0 (no version value) up");
      d.formatVersion = static_cast<int32_t>(*value);
      int32_t readAs = 0;
      for (int32_t known : kDocumentedVersions)
        if (known <= d.formatVersion) readAs = known;
      if (readAs != d.formatVersion)
        d.warnings.push_back(fileName_.u8string() + ":" + std::to_string(version->source().begin.line) +
                             ": setup.format_version: " + std::to_string(d.formatVersion) +
                             " is none of the documented versions 0, 4000, 4003, 4014 and 5000; Setup.exe reads "
                             "the file as version " + std::to_string(readAs));
    }
    d.languageFile = Cp1252(setup, "setup", "language_file", true, false);
    if (d.languageFile.empty()) Fail(*setup.get("language_file"), "setup.language_file", "must name a file");
    d.productName = Cp1252(setup, "setup", "product_name", true, false);
    d.productVersion = Cp1252(setup, "setup", "product_version", false, false);
    if (const toml::node* silent = Node(setup, "setup", "silent", false)) {
      if (!silent->is_boolean()) Fail(*silent, "setup.silent", "must be true or false");
      d.silent = silent->as_boolean()->get();
      if (d.silent && d.formatVersion < setupinfo::kSilentFlagFields)
        Fail(*silent, "setup.silent", "needs format_version " + std::to_string(setupinfo::kSilentFlagFields) +
                                          " or later; older files have no silent flag");
    }
  }

  void ReadLanguages(MediumDescription& d) const {
    const toml::table& languages = Table(root_, "languages", true);
    if (languages.empty()) Fail(1, "languages", "name at least one language, e.g. [languages.Deutsch]");
    for (auto&& [key, value] : languages) {
      const std::string name(key.str());
      const std::string where = "languages." + name;
      if (!value.is_table()) Fail(value, where, "must be a table");
      const toml::table& table = *value.as_table();
      LanguageDescription language;
      if (!Cp1252FromUtf8Text(name, language.name) || name.find_first_of("/\\:*?\"<>|") != std::string::npos)
        Fail(key.source().begin.line, where,
             "must be a plain file name in code page 1252" +
                 (CharacterOutsideCp1252(name).empty() ? "" : ", which cannot hold " + CharacterOutsideCp1252(name)));
      if (MediumName(name + medium::kLanguageExtension) != name + medium::kLanguageExtension)
        Fail(key.source().begin.line, where,
             "\"" + name + ".lng\" is no file name Windows allows (a device name such as CON or NUL, "
                             "or a control character)");
      if (table.contains("file")) {
        Allowed(table, where, {"file"});
        language.file = Path(table, where, "file", true);
      } else {
        Allowed(table, where, {"title", "body", "wait"});
        for (const auto& [textKey, number] : kTextKeys)
          if (table.contains(textKey)) language.texts[number] = Cp1252(table, where, textKey, true, true);
        if (language.texts.empty())
          Fail(table.source().begin.line, where, "give the texts title, body and wait, or your own file");
      }
      d.languages.push_back(std::move(language));
    }
  }

  // [medium] files: a list of files and folders, each put on the medium
  // under its own name, or a table of names on the medium and their sources.
  void ReadFiles(const toml::node& files, MediumDescription& d) const {
    const std::string key = "medium.files";
    std::set<std::string> names;
    const auto add = [&](const toml::node& where, const std::string& wanted, const std::string& source) {
      const std::string name = MediumName(wanted);
      if (name.empty())
        Fail(where, key, "\"" + wanted + "\" is no name for a file on the medium (a plain name or folder/name, "
                             "without .., drive, device names or any of < > : \" | ? * \\)");
      if (IsReservedMediumName(name))
        Fail(where, key, "\"" + name + "\" is a name setupmedium writes itself; give your file another name");
      std::string lower;
      if (!Cp1252FromUtf8Text(name, lower)) lower = name;
      if (!names.insert(CaseFolded(lower)).second)
        Fail(where, key, "\"" + name + "\" is named twice (names on the medium ignore letter case)");
      d.files.push_back({name, Resolve(source)});
    };
    if (const toml::array* list = files.as_array()) {
      for (const toml::node& item : *list) {
        const auto* path = item.as_string();
        if (!path || path->get().empty()) Fail(item, key, "every item must be the path of a file or folder");
        fs::path source = fs::u8path(path->get()).lexically_normal();
        if (!source.has_filename()) source = source.parent_path();
        add(item, source.filename().u8string(), path->get());
      }
    } else if (const toml::table* table = files.as_table()) {
      for (auto&& [name, value] : *table) {
        const auto* path = value.as_string();
        if (!path || path->get().empty())
          Fail(value, key + "." + std::string(name.str()), "must be the path of a file or folder");
        add(value, std::string(name.str()), path->get());
      }
    } else {
      Fail(files, key, "must be a list of paths, or a table of names on the medium and their paths");
    }
  }

  // The language file Setup.inf names must be one a table makes: Setup.exe
  // extracts only *.lng files, flat, and stops when it finds none.
  void CheckLanguageFile(const MediumDescription& d) const {
    if (!d.setupInfFile.empty()) return;
    const toml::node& where = *Table(root_, "setup", true).get("language_file");
    const std::string& name = d.languageFile;
    const std::string shown = "\"" + Utf8FromCp1252(name) + "\"";
    const std::string lower = CaseFolded(name);
    std::string made;
    for (const LanguageDescription& language : d.languages) {
      if (CaseFolded(language.name + medium::kLanguageExtension) == lower) return;
      made += (made.empty() ? "" : ", ") + Utf8FromCp1252(language.name) + medium::kLanguageExtension;
    }
    if (name.find_first_of("/\\:") != std::string::npos)
      Fail(where, "setup.language_file", shown + " is a path; Setup.exe looks for the language file by its name "
                                                 "alone: name one of " + made);
    if (!medium::IsLanguageFileName(name))
      Fail(where, "setup.language_file", shown + " does not end in .lng, and Setup.exe extracts only .lng files: "
                                                 "name one of " + made);
    Fail(where, "setup.language_file", shown + " is made by no table in [languages]; the tables make " + made);
  }

  void ReadSigning(const toml::table& table, MediumDescription& d) const {
    Allowed(table, "signing", {"certificate", "key", "password_env", "timestamp"});
    SigningDescription s;
    s.certificate = Path(table, "signing", "certificate", true);
    s.key = Path(table, "signing", "key", false);
    s.passwordVariable = String(table, "signing", "password_env", false);
    if (table.contains("password_env") && s.passwordVariable.empty())
      Fail(*table.get("password_env"), "signing.password_env", "must name an environment variable");
    s.timestampServer = String(table, "signing", "timestamp", false);
    d.signing = s;
  }

  fs::path fileName_;
  fs::path folder_;
  toml::table root_;
};

}  // namespace

MediumDescription ParseMediumDescription(const std::string& text, const fs::path& fileName) {
  static const std::string kByteOrderMark = "\xEF\xBB\xBF";  // as Notepad writes UTF-8
  if (text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0)
    return Parser(fileName).Parse(text.substr(kByteOrderMark.size()));
  return Parser(fileName).Parse(text);
}

MediumDescription ReadMediumDescription(const fs::path& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in || fs::is_directory(fileName)) throw ToolError{fileName.u8string() + ": cannot be read"};
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return ParseMediumDescription(text, fileName);
}

}  // namespace setupmedium
