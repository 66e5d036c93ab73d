#include "InspectValues.h"

#include "ReportText.h"

#include "app/core/MediumReading.h"

#include "runtime/core/Failures.h"
#include "text/core/CSprache.h"

#include <filesystem>
#include <optional>

namespace setupmedium {
namespace {

void Field(std::string& report, const char* name, const std::string& value) {
  report += name;
  report += ": ";
  report += value;
  report += '\n';
}

// After the data ended the reader's offset points past the end; the report
// names the end instead.
void Failed(std::string& report, const char* step, int64_t offset, int64_t size, const Exception& e) {
  report += std::string("error (") + step + "), reading stopped ";
  report += offset >= size ? "at the end of the data, offset " + std::to_string(size)
                           : "at offset " + std::to_string(offset);
  report += ": " + Printable(e.Message()) + "\n";
}

}  // namespace

bool CheckSetupInfo(const std::string& fileName, std::string& report) {
  report.clear();
  std::error_code error;
  const int64_t size = static_cast<int64_t>(std::filesystem::file_size(std::filesystem::u8path(fileName), error));
  std::optional<medium::TSetupInfoReading> reading;
  try {
    reading.emplace(fileName);
  } catch (const EFOpenError& e) {
    report = "error: " + Printable(e.Message()) + "\n";
    return false;
  } catch (const EReadError& e) {
    Failed(report, "signature", 4, size, e);  // the signature's four bytes are taken whole or not at all
    return false;
  }
  const setupinfo::Head& head = reading->Head();
  bool versionShown = false;
  const auto version = [&] {
    versionShown = true;
    Field(report, "format version", std::to_string(head.version) + (head.version == 0 ? " (no version value)" : ""));
  };
  try {
    reading->ReadUpToTexts();
    version();
    Field(report, "language file", "\"" + Printable(head.languageFile) + "\"");
    for (const auto& [name, text] : {std::pair{"product name", &head.productName},
                                     std::pair{"product version", &head.productVersion}}) {
      const bool cut = text->size() > setupinfo::kMaxProductText;
      Field(report, name, "\"" + Printable(setupinfo::ProductText(*text)) + "\"" +
                              (cut ? " (cut to 255 characters)" : ""));
    }
    reading->ReadRest();
    Field(report, "silent", head.silent ? "yes (the progress window stays hidden)" : "no");
  } catch (const EReadError& e) {
    if (!versionShown && std::string(reading->Place()) != "format version") version();
    Failed(report, reading->Place(), reading->Reader().ReadOffset(), size, e);
    return false;
  }
  return true;
}

bool CheckLanguageFile(const std::string& fileName, std::string& report) {
  report.clear();
  cSprachContainer table;
  bool ok = true;
  try {
    LoadLanguageFile(table, fileName);
  } catch (const EFOpenError& e) {
    report = "error: " + Printable(e.Message()) + "\n";
    return false;
  } catch (const EReadError& e) {
    Failed(report, "loading the texts", table.ReadOffset(), table.FileSize(), e);
    ok = false;
  }
  std::string texts;
  for (int i = 0; i < table.Count(); ++i) {
    const cFremdsprache& entry = table.Entry(i);
    bool shadowed = table.IndexOf(entry.FNumber) != i;
    texts += std::to_string(entry.FNumber) + ": \"" + Printable(ExpandEscapes(entry.FText)) + "\"" +
             (shadowed ? " (never shown: an earlier text has this number)" : "") + "\n";
  }
  report = texts + report;
  for (int32_t number : medium::kWindowTexts)
    if (table.IndexOf(number) < 0)
      report += "note: text " + std::to_string(number) + " is missing; its label stays empty\n";
  return ok;
}

}  // namespace setupmedium
