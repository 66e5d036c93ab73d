// The hand-off: extract the setup information and the language files from
// "_Setup.lib" into the temporary folder, prepare and show the progress
// window, pace the progress, extract and start the installer, end.
//
// The temporary folder is open to every program of the user, and Setup
// usually runs with administrator rights: it reads and starts only files
// that this run wrote there, holds the installer from its extraction until
// it has started, and stops with a box (HandOffStop.h) when it cannot.
#include "app/HandOffFiles.h"
#include "app/HandOffStop.h"
#include "app/InstallerGate.h"
#include "app/Main.h"
#include "app/core/MediumNames.h"
#include "app/core/SourceFolder.h"
#include "runtime/Application.h"
#include "runtime/Cursor.h"
#include "runtime/Folders.h"
#include "runtime/TempFolder.h"
#include "runtime/Wait.h"
#include "runtime/core/CommandLine.h"
#include "runtime/core/Failures.h"
#include "runtime/core/Format.h"
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

// Step 2: the temporary folder with its trailing backslash; created when it
// is missing, in its short form when its name does not survive the ANSI
// code page.
std::string TempBuffer() {
  const TempFolderQuery temp = UsableTempPath();
  if (temp.status == TempFolderQuery::NotCreated)
    StopSetup(Format(msg::TempFolderNotCreatedText, temp.path.c_str()));
  if (temp.status == TempFolderQuery::NoAnsiForm)
    StopSetup(Format(msg::TempFolderNameText, temp.path.c_str()));
  return temp.path;
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

// Steps 15-17: the archive's copy, held so that the second extraction reads
// what was copied.
UniqueFile CopyArchiveToTemp(const std::string& sourceFolder, const std::string& tempDir) {
  const std::string copy = tempDir + kArchive;
  RemoveLeftover(copy);
  CopyArchive(sourceFolder + kArchive, copy);
  UniqueFile held = HoldFile(copy, Format(msg::HoldFailedText, copy.c_str()));
  MakeArchiveOnly(copy);
  return held;
}

// Step 19: the installer, from the copy of the archive; the password and
// the opened-files setting of the first extraction are still in force. It
// must be this extraction's own file, and it stays held until it has been
// started.
UniqueFile ExtractInstaller(TXceedZip& zip, const std::string& tempDir) {
  const std::string archive = tempDir + kArchive;
  const std::string installer = tempDir + kInstaller;
  zip.SetZipFilename(archive);
  zip.AddFilesToProcess(medium::kInstallerFile);
  zip.SetUnzipToFolder(tempDir);
  RemoveLeftover(installer);
  const long result = zip.Unzip();
  if (result != 0)
    StopSetup(Format(msg::ExtractFailedText, installer.c_str(), archive.c_str(), result));
  return HoldFile(installer, Format(msg::NotExtractedText, installer.c_str(), archive.c_str()));
}

// Step 24.
void StartInstaller(const std::string& commandLine, const std::string& installer) {
  if (WinExec(commandLine.c_str(), SW_SHOWNOACTIVATE) <= 31)
    StopSetup(Format(msg::StartFailedText, installer.c_str()));
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
  std::string tempBuffer = TempBuffer();
  std::string tempDir = tempBuffer;
  const std::string currentFolder = CurrentFolder();
  if (tempDir.find(currentFolder) != std::string::npos) {
    CreateTempSubfolder(tempBuffer, currentFolder);
    tempBuffer = TempBuffer();
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
  // 12. Window preparation: texts, silent flag, placement, showing; from
  // the setup information as extracted.
  {
    const std::string setupInformation = tempDir + kSetupInformation;
    const UniqueFile held =
        HoldFile(setupInformation, Format(msg::HoldFailedText, setupInformation.c_str()));
    PrepareWindow(tempDir);
  }
  // 13.-14.
  SetScreenCursor(crHourGlass);
  Application->ProcessMessages();
  PaceProgress(*this, 0, 50);
  // 15.-17. The archive's copy in the temporary folder.
  UniqueFile archiveCopy = CopyArchiveToTemp(sourceFolder, tempDir);
  // 18.-19. The installer's command line; the installer itself.
  const std::string commandLine = InstallerCommandLine(tempBuffer, sourceFolder);
  UniqueFile installer = ExtractInstaller(*zip, tempDir);
  archiveCopy.reset();
  // 20.-23.
  PaceProgress(*this, 51, 75);
  Application->ProcessMessages();
  zip.reset();
  PaceProgress(*this, 76, 100);
  WaitTicks(2000);
  // 24.-26. Start the installer this run extracted, once the run's gate
  // admits it, then let it go; end with the exit code of the still running
  // process.
  RunInstallerGate().Admit(installer.get(), tempDir + kInstaller);
  StartInstaller(commandLine, tempDir + kInstaller);
  installer.reset();
  SetScreenCursor(crDefault);
  DWORD exitCode = 0;
  GetExitCodeProcess(GetCurrentProcess(), &exitCode);
  ExitProcess(exitCode);
}
