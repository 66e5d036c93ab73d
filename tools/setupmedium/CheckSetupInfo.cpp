#include "MediumChecker.h"

#include "ReportText.h"
#include "app/core/MediumNames.h"
#include "app/core/MediumReading.h"
#include "runtime/core/CodePage1252.h"
#include "runtime/core/Failures.h"
#include "streams/core/MemoryStream.h"
#include "streams/core/Reader.h"
#include "streams/core/ValueTags.h"
#include "text/core/CSprache.h"
#include "vswriter/ValueWriter.h"

#include <optional>

namespace setupmedium {
namespace {

// Whether the string value at offset of a value file loses characters on
// its way to code page 1252: wide and UTF-8 strings are converted, other
// strings are bytes already. A value that cannot be read loses nothing here:
// the reading itself reports it.
bool LosesCharacters(const std::string& bytes, int32_t offset) {
  TMemoryStream stream(bytes);
  TReader reader(stream, kValueChunkSize);
  try {
    reader.SetReadOffset(offset);
    const uint8_t tag = reader.PeekTag();
    if (tag != tgWideStr && tag != tgUtf8Str) return false;
    const std::u16string text = reader.ReadWideText();
    if (text.empty()) return reader.ReadOffset() - offset > 5;  // malformed UTF-8 reads as empty
    uint8_t unused;
    for (char16_t unit : text)
      if (!Cp1252FromUnicode(unit, unused)) return true;
  } catch (const Exception&) {
  }
  return false;
}

}  // namespace

// Hears the product name and version of "Setup.inf" and the texts of the
// language file as the reading comes to them, and notes those that lose
// characters.
class LossListener : public medium::TReadingListener {
public:
  const std::string* bytes = nullptr;  // of the file being read
  std::vector<std::string> fields;
  std::vector<int32_t> texts;

  void FieldAt(const setupinfo::Field& field, int32_t offset) override {
    if (field.role == setupinfo::Role::ProductName || field.role == setupinfo::Role::ProductVersion)
      if (LosesCharacters(*bytes, offset)) fields.push_back(field.name);
  }
  void TextAt(int32_t number, int32_t offset) override {
    if (LosesCharacters(*bytes, offset)) texts.push_back(number);
  }
};

void Checker::CheckSetupInfo() {
  const std::string topic = medium::kSetupInfoMask;
  const auto found = Extract(medium::kSetupInfoMask);
  if (!found) {
    f_.Error(topic, "not in the archive (or not readable): Setup.exe ends after the first extraction (exit code 0)",
             "give [setup] in the description");
    return;
  }
  LossListener losses;
  losses.bytes = &found->bytes;
  std::optional<medium::TSetupInfoReading> reading;
  bool versionShown = false;
  try {
    reading.emplace(found->path, &losses);
    const setupinfo::Head& head = reading->ReadUpToTexts();
    f_.Ok(topic, "format version " + std::to_string(head.version) + (head.version == 0 ? " (no version value)" : ""));
    versionShown = true;
    reading->ReadRest();
  } catch (const Exception& e) {
    const bool signature = !reading;
    const setupinfo::Head none;
    const setupinfo::Head& head = signature ? none : reading->Head();
    if (!signature && !versionShown && std::string(reading->Place()) != "format version")
      f_.Ok(topic, "format version " + std::to_string(head.version) + (head.version == 0 ? " (no version value)" : ""));
    f_.Error(topic, "unreadable at " + std::string(signature ? "signature" : reading->Place()) + " (offset " +
                        std::to_string(signature ? 0 : reading->PlaceOffset()) + "): " + ReaderFailure(e.Message()) +
                        "; " + FailureBox(),
             "write Setup.inf for its format version " + std::to_string(head.version) +
                 " (setupmedium inspect shows its values)");
    return;
  }
  const setupinfo::Head& head = reading->Head();
  for (const std::string& name : losses.fields)
    f_.Warning(topic, name + " has characters that code page 1252 cannot hold: Setup.exe shows \"?\"",
               "use only characters of code page 1252");
  f_.Ok(topic, "language file " + Quoted(head.languageFile) + ", product " + Quoted(head.productName) + " " +
                   Quoted(head.productVersion) + (head.silent ? ", silent: the progress window stays hidden" : ""));
  for (const std::string* text : {&head.productName, &head.productVersion})
    if (text->size() > setupinfo::kMaxProductText)
      f_.Warning(topic, Quoted(setupinfo::ProductText(*text)) + "... is longer than 255 characters and is cut",
                 "shorten the product name or version");
  CheckLanguage(*reading, losses);
}

void Checker::CheckLanguage(medium::TSetupInfoReading& reading, LossListener& losses) {
  const std::string& name = reading.Head().languageFile;
  const std::string topic = "language file";
  if (name.empty()) {
    f_.Error(topic, "Setup.inf names none: " + FailureBox(), "name the language file in setup.language_file");
    return;
  }
  if (name.find_first_of("\\/:") != std::string::npos) {
    f_.Error(topic, Quoted(name) + " is not a plain file name; the language files are extracted flat",
             "name the file without a folder");
    return;
  }
  const auto found = Extract(name);
  if (!found) {
    f_.Error(topic, Quoted(name) + (medium::IsLanguageFileName(name) ? " is not in the archive"
                                                                      : " does not end in .lng and is never extracted") +
                        ": " + FailureBox(),
             "pack the language file as NAME.lng and name it in Setup.inf");
    return;
  }
  losses.bytes = &found->bytes;
  cSprachContainer table;
  medium::WindowTexts shown;
  try {
    shown = reading.ReadTexts(found->path, table);
  } catch (const Exception& e) {
    f_.Error(Printable(name), "unreadable: " + ReaderFailure(e.Message()) + "; " + FailureBox(),
             "write the language file again (setupmedium inspect shows where it breaks)");
    return;
  }
  for (int32_t number : losses.texts)
    f_.Warning(Printable(name), "text " + std::to_string(number) +
                                    " has characters that code page 1252 cannot hold: Setup.exe shows \"?\"",
               "use only characters of code page 1252");
  for (int32_t number : medium::kWindowTexts) {
    if (table.IndexOf(number) < 0) {
      f_.Warning(Printable(name), "text " + std::to_string(number) + " is missing: its label stays empty",
                 "give the text " + std::to_string(number));
      continue;
    }
    CheckPlaceholders(Printable(name), number, table.FindText(number));
  }
  f_.Ok(Printable(name), "title " + Quoted(shown.title) + ", body " + Quoted(shown.body) + ", wait " +
                             Quoted(shown.wait));
}

void Checker::CheckPlaceholders(const std::string& topic, int32_t number, const std::string& text) {
  for (size_t open = text.find('%'); open != std::string::npos; open = text.find('%', open + 1)) {
    const size_t close = text.find('%', open + 1);
    if (close == std::string::npos) break;
    const std::string token = text.substr(open, close - open + 1);
    if (token.size() < 3 || token.find(' ') != std::string::npos) continue;
    const bool known = token == medium::kProductNamePlaceholder || token == medium::kProductVersionPlaceholder;
    if (known && number == medium::kBodyText) {
      open = close;
      continue;
    }
    f_.Warning(topic, "text " + std::to_string(number) + " shows " + Quoted(token) + " as it is: " +
                          (known ? "only text " + std::to_string(medium::kBodyText) + " has its placeholders replaced"
                                 : std::string("Setup.exe replaces only ") + medium::kProductNamePlaceholder +
                                       " and " + medium::kProductVersionPlaceholder + ", in capitals"),
               "write the placeholder exactly, in text " + std::to_string(medium::kBodyText));
    open = close;
  }
}

}  // namespace setupmedium
