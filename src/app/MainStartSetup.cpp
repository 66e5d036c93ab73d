// The hand-off: extract the setup information and the language files from
// "_Setup.lib" into the temporary folder, prepare and show the progress
// window, pace the progress, extract and start the installer, end.
#include "app/Main.h"
#include "runtime/Application.h"
#include "runtime/CommandLine.h"
#include "runtime/Cursor.h"
#include "runtime/Failures.h"
#include "runtime/Folders.h"
#include "runtime/Messages.h"
#include "runtime/SourceFolder.h"
#include "runtime/Wait.h"
#include "zip/XceedZip.h"

#include <windows.h>

#include <memory>
#include <string>

namespace {

const char kArchive[] = "\\_Setup.lib";
const char kSetupInformation[] = "\\setup.inf";
const char kInstaller[] = "\\_inst32d.exe";
const char kArchivePassword[] = "K470395";

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
  zip.SetEncryptionPassword(kArchivePassword);
  zip.AddFilesToProcess("*.lng");
  zip.AddFilesToProcess("Setup.inf");
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
  zip.AddFilesToProcess("_inst32d.exe");
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
  FSilent = false;                                                      // 1
  auto zip = std::make_unique<TXceedZip>();
  std::string tempBuffer = TempPath();                                  // 2
  std::string tempDir = tempBuffer;
  const std::string currentFolder = CurrentFolder();                    // 3
  if (tempDir.find(currentFolder) != std::string::npos) {               // 4
    CreateTempSubfolder(tempBuffer, currentFolder);
    tempBuffer = TempPath();
    tempDir = tempBuffer;
  }
  tempDir = WithoutTrailingBackslash(tempDir);                          // 5
  const std::string sourceFolder =                                      // 6
      SourceFolderFrom(CommandLineArguments(GetCommandLineA()), currentFolder);
  Application->ProcessMessages();                                       // 7
  const long result = ExtractSetupFiles(*zip, sourceFolder, tempDir);   // 8
  ReportFirstExtraction(result);                                        // 9
  Application->ProcessMessages();                                       // 10
  if (!FileExists(tempDir + kSetupInformation)) ExitProcess(0);         // 11
  PrepareWindow(tempDir);                                               // 12 window preparation
  SetScreenCursor(crHourGlass);                                         // 13
  Application->ProcessMessages();
  PaceProgress(*this, 0, 50);                                                  // 14
  const std::string archiveCopy = tempDir + kArchive;
  if (FileExists(archiveCopy)) MakeArchiveOnly(archiveCopy);            // 15
  CopyFileA((sourceFolder + kArchive).c_str(), archiveCopy.c_str(), FALSE);  // 16
  MakeArchiveOnly(archiveCopy);                                         // 17
  const std::string commandLine = InstallerCommandLine(tempBuffer, sourceFolder);  // 18
  ExtractInstaller(*zip, tempDir);                                      // 19
  PaceProgress(*this, 51, 75);                                                 // 20
  Application->ProcessMessages();                                       // 21
  zip.reset();
  PaceProgress(*this, 76, 100);                                                // 22
  WaitTicks(2000);                                                      // 23
  if (FileExists(tempDir + kInstaller))                                 // 24
    WinExec(commandLine.c_str(), SW_SHOWNOACTIVATE);
  SetScreenCursor(crDefault);                                           // 25
  DWORD exitCode = 0;                                                   // 26
  GetExitCodeProcess(GetCurrentProcess(), &exitCode);
  ExitProcess(exitCode);
}
