// The window preparation: reads the head of "setup.inf" by its format
// version, fills the three texts from the language file it names, takes the
// silent flag, and shows the window (in the bottom-right corner of the
// screen when a splash picture is up).
#include "app/Main.h"

#include "runtime/Checks.h"
#include "runtime/PlainFileName.h"
#include "streams/FileStream.h"
#include "streams/Reader.h"
#include "text/CSprache.h"

#include <memory>

namespace {

constexpr uint16_t kSetupInfoMode = fmOpenRead | fmShareDenyNone;  // 0x0040
constexpr int32_t kChunkSize = 4096;
constexpr size_t kMaxProductText = 255;

// Format versions from which fields are present (or change their kind).
constexpr int32_t kBoolSecondField = 4000;   // field 2 boolean instead of string
constexpr int32_t kSilentFields = 4003;      // fields 11 and 12
constexpr int32_t kSeventhField = 4014;      // field 7
constexpr int32_t kEighthFields = 5000;      // field 8 (two booleans)

constexpr int kTitleText = 1000;
constexpr int kBodyText = 1001;
constexpr int kWaitText = 1002;

// Every occurrence of pattern replaced, scanning left to right; replaced
// text is not looked at again. Exact, case-sensitive matching.
std::string ReplaceAll(std::string text, const std::string& pattern, const std::string& with) {
  std::string result;
  size_t from = 0;
  for (size_t at; (at = text.find(pattern, from)) != std::string::npos; from = at + pattern.size()) {
    result.append(text, from, at - from);
    result += with;
  }
  result.append(text, from, std::string::npos);
  return result;
}

std::string FirstCharacters(std::string text) {
  if (text.size() > kMaxProductText) text.resize(kMaxProductText);
  return text;
}

// Field 1, present only when the first value is an integer. Any failure
// puts the reader back onto the tag it did not accept.
int32_t ReadFormatVersion(TReader& reader) {
  try {
    return reader.ReadIntValue();
  } catch (...) {
    reader.SetReadOffset(reader.ReadOffset() - 1);
    return 0;
  }
}

// The language file lies in the temporary folder beside "setup.inf". A name
// that would reach another folder or a device fails as a missing file does.
std::string LanguageFilePath(const std::string& tempDir, const std::string& name) {
  const std::string path = tempDir + "\\" + name;
  if (!IsPlainFileName(name)) RaiseFOpenError(path, SysErrorMessage(ERROR_FILE_NOT_FOUND));
  return path;
}

}  // namespace

void TfrmMain::PrepareWindow(const std::string& tempDir) {
  // 1-2: open and check; the reader goes before the stream.
  TFileStream stream(tempDir + "\\setup.inf", kSetupInfoMode);
  TReader reader(stream, kChunkSize);
  reader.CheckSignature();

  // 3-4: the head.
  const int32_t version = ReadFormatVersion(reader);
  if (version < kBoolSecondField)
    reader.ReadStrValue();
  else
    reader.ReadBoolValue();
  reader.ReadStrValue();
  const std::string languageFile = reader.ReadStrValue();
  const std::string productName = FirstCharacters(reader.ReadStrValue());
  const std::string productVersion = FirstCharacters(reader.ReadStrValue());

  // 5-8: the texts from the language file; the table lives only for them.
  {
    auto table = std::make_unique<cSprachContainer>();
    FSprache = table.get();
    struct ClearOnExit {
      cSprachContainer*& field;
      ~ClearOnExit() { field = nullptr; }
    } clear{FSprache};
    LoadLanguageFile(*table, LanguageFilePath(tempDir, languageFile));
    std::string body = table->GetText(kBodyText);
    body = ReplaceAll(body, "%PRODUKTNAME%", productName);
    body = ReplaceAll(body, "%PRODUKTVERSION%", productVersion);
    SetTitle(table->GetText(kTitleText));
    SetBody(body);
    SetWaitText(table->GetText(kWaitText));
  }

  // 9: the rest of the head, up to the silent flag.
  if (version >= kSeventhField) reader.ReadIntValue();
  if (version >= kEighthFields) {
    reader.ReadBoolValue();
    reader.ReadBoolValue();
  }
  reader.ReadBoolValue();
  reader.ReadStrValue();
  if (version >= kSilentFields) {
    reader.ReadStrValue();
    FSilent = reader.ReadBoolValue();
  }

  // 10: show, in the corner when a splash picture is up.
  if (!FSilent) {
    if (FHasSplash) {
      SetPosition(poDefaultSizeOnly);
      SetLeft(GetSystemMetrics(SM_CXSCREEN) - Width() - 5);
      SetTop(GetSystemMetrics(SM_CYSCREEN) - Height() - 30);
    }
    Show();
    Repaint();
  }
  // 11: the reader, then the stream, go at the end of the scope.
}
