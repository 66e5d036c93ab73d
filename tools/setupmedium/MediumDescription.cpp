#include "MediumDescription.h"

#include "app/core/SetupInfo.h"
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
const std::pair<const char*, int32_t> kTextKeys[] = {{"title", 1000}, {"body", 1001}, {"wait", 1002}};

// The reader is given ASCII only: Debian's toml++ 3.3 reaches an unreachable
// branch when it asks whether some characters beyond ASCII (umlauts among
// them) are blank, which it does wherever its reading goes astray in a
// damaged file. So every character beyond ASCII in a double-quoted text is
// written as its \u or \U escape, which gives the reader the same text; one
// anywhere else (bare, in a single-quoted text, or broken UTF-8) is refused.
// A comment's characters become '?'. Gives the line of the first refused
// character, or 0 with the reader's text in out.
int64_t AsciiForReader(const std::string& text, std::string& out) {
  out.clear();
  int64_t line = 1;
  size_t i = 0;
  const auto starts = [&](const char* token) { return text.compare(i, std::strlen(token), token) == 0; };
  // One character beyond ASCII at i, as an escape; false for broken UTF-8.
  const auto escape = [&]() {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char lead = p[i];
    const int extra = lead < 0xC2 ? -1 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF5 ? 3 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= text.size()) return false;
    char32_t code = lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      code = code << 6 | (p[i + k] & 0x3F);
    }
    if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
      return false;
    char digits[12];
    std::snprintf(digits, sizeof digits, code > 0xFFFF ? "\\U%08X" : "\\u%04X", static_cast<unsigned>(code));
    out += digits;
    i += static_cast<size_t>(extra) + 1;
    return true;
  };
  // Copies one character of a text; false when it cannot stand there.
  const auto copy = [&](bool basic) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      if (text[i] == '\n') ++line;
      out += text[i++];
      return true;
    }
    return basic && escape();
  };
  while (i < text.size()) {
    const char c = text[i];
    if (c == '#') {
      while (i < text.size() && text[i] != '\n') {
        out += static_cast<unsigned char>(text[i]) < 0x80 ? text[i] : '?';
        ++i;
      }
    } else if (starts("\"\"\"") || starts("'''")) {
      const std::string close = text.substr(i, 3);
      const bool basic = close[0] == '"';
      out += close;
      i += 3;
      while (i < text.size() && !starts(close.c_str())) {
        if (basic && text[i] == '\\' && i + 1 < text.size() && text[i + 1] != '\n') out += text[i++];
        if (!copy(basic)) return line;
      }
      if (i < text.size()) out += close, i += 3;
    } else if (c == '"' || c == '\'') {
      const bool basic = c == '"';
      out += text[i++];
      while (i < text.size() && text[i] != c && text[i] != '\n') {
        if (basic && text[i] == '\\' && i + 1 < text.size() && text[i + 1] != '\n') out += text[i++];
        if (!copy(basic)) return line;
      }
      if (i < text.size() && text[i] == c) out += text[i++];
    } else if (!copy(false)) {
      return line;
    }
  }
  return 0;
}

class Parser {
public:
  explicit Parser(fs::path fileName) : fileName_(std::move(fileName)), folder_(fileName_.parent_path()) {}

  MediumDescription Parse(const std::string& text) {
    std::string ascii;
    if (const int64_t line = AsciiForReader(text, ascii))
      Fail(line, "", "characters beyond ASCII belong in double-quoted texts or comments");
    try {
      root_ = toml::parse(ascii, fileName_.u8string());
    } catch (const toml::parse_error& e) {
      Fail(e.source().begin.line, "", std::string(e.description()));
    }
    MediumDescription d;
    Allowed(root_, "", {"program", "medium", "setup", "languages", "signing"});
    const toml::table& program = Table(root_, "program", true);
    Allowed(program, "program", {"setup_exe", "component"});
    d.setupExe = Path(program, "program", "setup_exe", true);
    d.component = Path(program, "program", "component", true);

    const toml::table& medium = Table(root_, "medium", true);
    Allowed(medium, "medium", {"installer", "splash", "extra_files"});
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

    ReadSetup(Table(root_, "setup", true), d);
    ReadLanguages(d);
    if (root_.contains("signing")) ReadSigning(Table(root_, "signing", true), d);
    return d;
  }

private:
  [[noreturn]] void Fail(int64_t line, const std::string& key, const std::string& why) const {
    std::string text = fileName_.u8string() + ":" + std::to_string(line) + ": ";
    if (!key.empty()) text += key + ": ";
    throw DescriptionError{text + why};
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
      Fail(*table.get(key), Join(name, key), "has characters that code page 1252 cannot hold");
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
        Fail(key.source().begin.line, where, "must be a plain file name in code page 1252");
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
  return Parser(fileName).Parse(text);
}

MediumDescription ReadMediumDescription(const fs::path& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in || fs::is_directory(fileName)) throw DescriptionError{fileName.u8string() + ": cannot be read"};
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return ParseMediumDescription(text, fileName);
}

}  // namespace setupmedium
