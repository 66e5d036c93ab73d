#include "vswriter/MediumCheck.h"

#include "runtime/Failures.h"
#include "streams/FileStream.h"
#include "streams/Reader.h"
#include "text/CSprache.h"
#include "vswriter/ValueWriter.h"

#include <cstdio>
#include <memory>

namespace {

// Program texts are code page 1252; the report is UTF-8 with control
// characters escaped.
std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    char escape[8];
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c < 0x20 || c == 0x7F || !Utf8FromCp1252Byte(c, out)) {
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      out += escape;
    }
  }
  return out;
}

void Field(std::string& report, const char* name, const std::string& value) {
  report += name;
  report += ": ";
  report += value;
  report += '\n';
}

// After the data ended the reader's offset points past the end; the report
// names the end instead.
void Failed(std::string& report, const char* step, TReader& reader, TStream& stream, const Exception& e) {
  int64_t offset = reader.ReadOffset();
  int64_t size = stream.Size();
  report += std::string("error (") + step + "), reading stopped ";
  report += offset >= size ? "at the end of the data, offset " + std::to_string(size)
                           : "at offset " + std::to_string(offset);
  report += ": " + Printable(e.Message()) + "\n";
}

}  // namespace

bool CheckSetupInfo(const std::string& fileName, std::string& report) {
  report.clear();
  std::unique_ptr<TFileStream> stream;
  try {
    stream = std::make_unique<TFileStream>(fileName, fmOpenRead | fmShareDenyNone);
  } catch (const EFOpenError& e) {
    report = "error: " + Printable(e.Message()) + "\n";
    return false;
  }
  TReader reader(*stream, 4096);
  const char* step = "signature";
  try {
    reader.CheckSignature();
    int32_t version = 0;
    try {
      version = reader.ReadIntValue();
    } catch (const EReadError&) {
      reader.SetReadOffset(reader.ReadOffset() - 1);
    }
    Field(report, "format version", std::to_string(version) + (version == 0 ? " (no version value)" : ""));
    step = "field 2";
    if (version < 4000) reader.ReadStrValue(); else reader.ReadBoolValue();
    step = "field 3";
    reader.ReadStrValue();
    step = "language file";
    Field(report, step, "\"" + Printable(reader.ReadStrValue()) + "\"");
    step = "product name";
    std::string name = reader.ReadStrValue();
    Field(report, step, "\"" + Printable(name.substr(0, 255)) + "\"" +
                            (name.size() > 255 ? " (cut to 255 characters)" : ""));
    step = "product version";
    std::string productVersion = reader.ReadStrValue();
    Field(report, step, "\"" + Printable(productVersion.substr(0, 255)) + "\"" +
                            (productVersion.size() > 255 ? " (cut to 255 characters)" : ""));
    step = "field 7";
    if (version >= 4014) reader.ReadIntValue();
    step = "field 8";
    if (version >= 5000) { reader.ReadBoolValue(); reader.ReadBoolValue(); }
    step = "field 9";
    reader.ReadBoolValue();
    step = "field 10";
    reader.ReadStrValue();
    bool silent = false;
    if (version > 4002) {
      step = "field 11";
      reader.ReadStrValue();
      step = "silent flag";
      silent = reader.ReadBoolValue();
    }
    Field(report, "silent", silent ? "yes (the progress window stays hidden)" : "no");
  } catch (const EReadError& e) {
    Failed(report, step, reader, *stream, e);
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
    Failed(report, "loading the texts", *table.FReader, *table.FFile, e);
    ok = false;
  }
  std::string texts;
  for (int i = 0; i < table.Count(); ++i) {
    const std::string& key = table.Strings(i);
    bool shadowed = table.IndexOf(key) != i;
    const std::string& text = static_cast<cFremdsprache*>(table.Objects(i))->FText;
    texts += key + ": \"" + Printable(ExpandEscapes(text)) + "\"" +
             (shadowed ? " (never shown: an earlier text has this number)" : "") + "\n";
  }
  report = texts + report;
  for (int32_t number : {1000, 1001, 1002})
    if (table.IndexOf(std::to_string(number)) < 0)
      report += "note: text " + std::to_string(number) + " is missing; its label stays empty\n";
  return ok;
}
