// The window preparation: reads the head of "setup.inf" by its format
// version, fills the three texts from the language file it names, takes the
// silent flag, and shows the window (in the bottom-right corner of the
// screen when a splash picture is up).
#include "app/Main.h"
#include "app/core/MediumNames.h"
#include "app/core/MediumReading.h"

#include "runtime/Checks.h"
#include "runtime/core/PlainFileName.h"

namespace {

// The language file lies in the temporary folder beside "setup.inf". A name
// that would reach another folder or a device fails as a missing file does.
std::string LanguageFilePath(const std::string& tempDir, const std::string& name) {
  const std::string path = tempDir + "\\" + name;
  if (!IsPlainFileName(name)) RaiseFOpenError(path, SysErrorMessage(ERROR_FILE_NOT_FOUND));
  return path;
}

}  // namespace

void TfrmMain::PrepareWindow(const std::string& tempDir) {
  // The file stays open until the whole head is read; the reader goes
  // before it.
  medium::TSetupInfoReading reading(tempDir + "\\" + medium::kSetupInfoFile);
  const setupinfo::Head& head = reading.ReadUpToTexts();

  // The texts, from the language file the head names.
  const medium::WindowTexts texts = reading.ReadTexts(LanguageFilePath(tempDir, head.languageFile));
  SetTitle(texts.title);
  SetBody(texts.body);
  SetWaitText(texts.wait);

  // The silent flag comes after the texts, from format 4003 on; before that
  // FSilent keeps the false the hand-off gave it.
  reading.ReadRest();
  if (head.version >= setupinfo::kSilentFlagFields) FSilent = head.silent;

  // Shown, in the corner when a splash picture is up.
  if (!FSilent) {
    if (FHasSplash) {
      SetPosition(poDefaultSizeOnly);
      SetLeft(GetSystemMetrics(SM_CXSCREEN) - Width() - 5);
      SetTop(GetSystemMetrics(SM_CYSCREEN) - Height() - 30);
    }
    Show();
    Repaint();
  }
}
