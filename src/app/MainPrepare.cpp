// The window preparation: reads the head of "setup.inf" by its format
// version, fills the three texts from the language file it names, takes the
// silent flag, and shows the window (in the bottom-right corner of the
// screen when a splash picture is up).
#include "app/Main.h"
#include "app/core/MediumNames.h"
#include "app/core/SetupInfo.h"

#include "streams/core/FileStream.h"
#include "streams/core/Reader.h"
#include "text/core/CSprache.h"


namespace {

constexpr uint16_t kSetupInfoMode = fmOpenRead | fmShareDenyNone;  // 0x0040
constexpr int32_t kChunkSize = 4096;
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

}  // namespace

void TfrmMain::PrepareWindow(const std::string& tempDir) {
  // 1-2: open and check; the reader goes before the stream.
  TFileStream stream(tempDir + "\\" + medium::kSetupInfoFile, kSetupInfoMode);
  TReader reader(stream, kChunkSize);
  reader.CheckSignature();

  // 3-4: the head up to the product version.
  setupinfo::Head head;
  head.version = setupinfo::ReadFormatVersion(reader);
  setupinfo::ReadHead(reader, setupinfo::Part::BeforeTexts, head);
  const std::string productName = setupinfo::ProductText(head.productName);
  const std::string productVersion = setupinfo::ProductText(head.productVersion);

  // 5-8: the texts from the language file; the table (and its file) lives
  // only for them.
  {
    cSprachContainer table;
    LoadLanguageFile(table, tempDir + "\\" + head.languageFile);
    std::string body = table.GetText(kBodyText);
    body = ReplaceAll(body, "%PRODUKTNAME%", productName);
    body = ReplaceAll(body, "%PRODUKTVERSION%", productVersion);
    SetTitle(table.GetText(kTitleText));
    SetBody(body);
    SetWaitText(table.GetText(kWaitText));
  }

  // 9: the rest of the head, up to the silent flag (from format 4003 on;
  // before that FSilent keeps the false the hand-off gave it).
  setupinfo::ReadHead(reader, setupinfo::Part::AfterTexts, head);
  if (head.version >= setupinfo::kSilentFlagFields) FSilent = head.silent;

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
