// The hand-off: extract the setup information and the language files from
// "_Setup.lib" into the temporary folder, prepare and show the progress
// window, pace the progress, extract and start the installer, end.
#include "app/Main.h"
#include "app/core/MediumNames.h"
#include "app/core/SourceFolder.h"
#include "runtime/Application.h"
#include "runtime/Cursor.h"
#include "runtime/Folders.h"
#include "runtime/Wait.h"
#include "runtime/core/CommandLine.h"
#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"
#include "zip/XceedZip.h"

#include <windows.h>

#include <memory>
#include <string>

namespace {

const std::string kArchive = std::string("\\") + medium::kArchiveFile;
const std::string kSetupInformation = std::string("\\") + medium::kSetupInfoFile;
const std::string kInstaller = std::string("\\") + medium::kInstallerFile;

// Step 4: the current folder lies inside the temporary folder (C:\ in
// C:\TEMP\, say): make sure the temporary folder has a subfolder "Temp".
// Failures of the folder changes and of the creation are ignored.
void CreateTempSubfolder(const std::string& tempDir, const std::string& currentFolder) {
  SetCurrentDirectoryA(tempDir.c_str());
  CreateDirectoryA("Temp", nullptr);
  SetCurrentDirectoryA(currentFolder.c_str());
}

// A file an earlier run left where an extraction is about to put its own is
// removed first, so that only this run's extraction can produce it.
void RemoveLeftover(const std::string& path) {
  if (!FileExists(path)) return;
  MakeArchiveOnly(path);
  DeleteFileA(path.c_str());
}

// Step 8: the setup information and the language files.
long ExtractSetupFiles(TXceedZip& zip, const std::string& sourceFolder,
                       const std::string& tempDir) {
  zip.SetZipFilename(sourceFolder + kArchive);
  zip.SetZipOpenedFiles(true);
  zip.SetUnzipToFolder(tempDir);
  zip.SetEncryptionPassword(medium::kArchivePassword);
  zip.AddFilesToProcess(medium::kLanguageMask);
  zip.AddFilesToProcess(medium::kSetupInfoMask);
  RemoveLeftover(tempDir + kSetupInformation);
  return zip.Unzip();
}

// Step 9.
void ReportFirstExtraction(long result) {
  if (result < 0) throw ERangeError(msg::RangeError);
  if (result == 503 || result == 505)
    Application->ShowMessageBox(msg::ArchiveMissingText, msg::ErrorCaption, MB_OK);
  else if (result > 0)
    Application->ShowMessageBox("", msg::ErrorCaption, MB_OK);
}

// Step 19: the installer, from the copy of the archive; the password and
// the opened-files setting of the first extraction are still in force.
void ExtractInstaller(TXceedZip& zip, const std::string& tempDir) {
  zip.SetZipFilename(tempDir + kArchive);
  zip.AddFilesToProcess(medium::kInstallerFile);
  zip.SetUnzipToFolder(tempDir);
  RemoveLeftover(tempDir + kInstaller);
  zip.Unzip();
}

// Steps 14, 20 and 22: one position every 50 ms.
void PaceProgress(TfrmMain& form, int from, int to) {
  for (int p = from; p <= to; ++p) {
    WaitTicks(50);
    form.SetProgress(p);
  }
}

}  // namespace

void TfrmMain::StartSetup() {
  // 1. A fresh silent flag; the zip component.
  FSilent = false;
  auto zip = std::make_unique<TXceedZip>();
  // 2.-5. The temporary folder, with a "Temp" subfolder made when the
  // current folder lies inside it.
  std::string tempBuffer = TempPath();
  std::string tempDir = tempBuffer;
  const std::string currentFolder = CurrentFolder();
  if (tempDir.find(currentFolder) != std::string::npos) {
    CreateTempSubfolder(tempBuffer, currentFolder);
    tempBuffer = TempPath();
    tempDir = tempBuffer;
  }
  tempDir = WithoutTrailingBackslash(tempDir);
  // 6. The source folder, as the start-up worked it out.
  const std::string sourceFolder =
      SourceFolderFrom(CommandLineArguments(GetCommandLineA()), currentFolder);
  // 7.-11. The setup information and the language files; without the
  // setup information the run ends here.
  Application->ProcessMessages();
  const long result = ExtractSetupFiles(*zip, sourceFolder, tempDir);
  ReportFirstExtraction(result);
  Application->ProcessMessages();
  if (!FileExists(tempDir + kSetupInformation)) ExitProcess(0);
  // 12. Window preparation: texts, silent flag, placement, showing.
  PrepareWindow(tempDir);
  // 13.-14.
  SetScreenCursor(crHourGlass);
  Application->ProcessMessages();
  PaceProgress(*this, 0, 50);
  // 15.-17. The archive's copy in the temporary folder.
  const std::string archiveCopy = tempDir + kArchive;
  if (FileExists(archiveCopy)) MakeArchiveOnly(archiveCopy);
  CopyFileA((sourceFolder + kArchive).c_str(), archiveCopy.c_str(), FALSE);
  MakeArchiveOnly(archiveCopy);
  // 18.-19. The installer's command line; the installer itself.
  const std::string commandLine = InstallerCommandLine(tempBuffer, sourceFolder);
  ExtractInstaller(*zip, tempDir);
  // 20.-23.
  PaceProgress(*this, 51, 75);
  Application->ProcessMessages();
  zip.reset();
  PaceProgress(*this, 76, 100);
  WaitTicks(2000);
  // 24.-26. Start the installer, if this run extracted one, and end with
  // the exit code of the still running process.
  if (FileExists(tempDir + kInstaller)) WinExec(commandLine.c_str(), SW_SHOWNOACTIVATE);
  SetScreenCursor(crDefault);
  DWORD exitCode = 0;
  GetExitCodeProcess(GetCurrentProcess(), &exitCode);
  ExitProcess(exitCode);
}
