#include "app/HandOff.h"

#include "app/HandOffFiles.h"
#include "app/HandOffStop.h"
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
#include "zip/XceedZipContract.h"

#include <windows.h>

namespace {

const std::string kArchive = std::string("\\") + medium::kArchiveFile;
const std::string kSetupInformation = std::string("\\") + medium::kSetupInfoFile;
const std::string kInstaller = std::string("\\") + medium::kInstallerFile;

// The archive missing or unreadable: the medium's own box, and the run
// ends as it always did.
bool ArchiveMissing(long result) { return result == kResultArchiveMissing || result == kResultArchiveUnreadable; }

class TProgramClock final : public THandOffClock {
public:
  void Wait(uint32_t ms) override { WaitTicks(ms); }
};

class TProgramEnd final : public TProcessEnd {
public:
  [[noreturn]] void End(unsigned exitCode) override { ExitProcess(exitCode); }
};

// The temporary folder with its trailing backslash; stops the run when it
// cannot be had.
std::string TempBuffer() {
  const TempFolderQuery temp = UsableTempPath();
  if (temp.status == TempFolderQuery::NotCreated)
    StopSetup(Format(msg::TempFolderNotCreatedText, temp.path.c_str()));
  if (temp.status == TempFolderQuery::NoAnsiForm)
    StopSetup(Format(msg::TempFolderNameText, temp.path.c_str()));
  if (temp.status == TempFolderQuery::TooLong)
    StopSetup(Format(msg::TempFolderTooLongText, temp.path.c_str()));
  return temp.path;
}

// The first extraction's result, as the medium's users know it: the
// archive's own box for a missing archive, a box naming the archive and
// the result for any other failure, a range failure for a negative one.
void ReportSetupFiles(long result, const std::string& archive) {
  if (result < 0) throw ERangeError(msg::RangeError);
  if (ArchiveMissing(result))
    Application->ShowMessageBox(msg::ArchiveMissingText, msg::ErrorCaption, MB_OK);
  else if (result > 0)
    Application->ShowMessageBox(Format(msg::SetupFilesFailedText, archive.c_str(), result).c_str(),
                                msg::ErrorCaption, MB_OK);
}

// Starts the installer with TEMP and TMP naming the workspace, so that it
// finds the setup information there as it would in its temporary folder.
void StartInstaller(const std::string& commandLine, const std::string& folder,
                    const std::string& installer) {
  SetEnvironmentVariableA("TEMP", folder.c_str());
  SetEnvironmentVariableA("TMP", folder.c_str());
  if (WinExec(commandLine.c_str(), SW_SHOWNOACTIVATE) <= 31)
    StopSetup(Format(msg::StartFailedText, installer.c_str()));
}

}  // namespace

std::string HandOffTempFolder(const std::string& currentFolder) {
  std::string tempDir = TempBuffer();
  // The current folder inside the temporary folder (C:\ in C:\TEMP\, say):
  // the temporary folder gets a subfolder "Temp". Failures of the folder
  // changes and of the creation are ignored.
  if (tempDir.find(currentFolder) != std::string::npos) {
    SetCurrentDirectoryA(tempDir.c_str());
    CreateDirectoryA("Temp", nullptr);
    SetCurrentDirectoryA(currentFolder.c_str());
    tempDir = TempBuffer();
  }
  return WithoutTrailingBackslash(tempDir);
}

THandOffParts ProgramHandOffParts(THandOffView& view) {
  static TProgramClock clock;
  static TProgramEnd end;
  THandOffParts parts{nullptr, std::make_unique<TXceedZip>(), &view, &clock, &end,
                      &RunInstallerGate(), std::string()};
  const std::string currentFolder = CurrentFolder();
  const std::string tempDir = HandOffTempFolder(currentFolder);
  parts.sourceFolder = SourceFolderFrom(CommandLineArguments(GetCommandLineA()), currentFolder);
  RemoveEarlierWorkspaces(tempDir);
  parts.workspace = std::make_unique<TWorkspace>(tempDir);
  const TWorkspace& workspace = *parts.workspace;
  if (workspace.status() == TWorkspace::NotCreated)
    StopSetup(Format(msg::WorkspaceNotCreatedText, tempDir.c_str()));
  if (workspace.status() == TWorkspace::NotSafe) {
    parts.workspace->Remove();
    StopSetup(Format(msg::WorkspaceNotSafeText, workspace.path().c_str()));
  }
  return parts;
}

void THandOff::Run() {
  unsigned exitCode = 1;
  try {
    exitCode = Steps();
  } catch (...) {
    parts_.workspace->Remove();
    throw;
  }
  if (exitCode != STILL_ACTIVE) parts_.workspace->Remove();
  parts_.end->End(exitCode);
  ExitProcess(exitCode);  // an end that came back
}

unsigned THandOff::Steps() {
  const std::string& folder = parts_.workspace->path();
  THandOffView& view = *parts_.view;
  // The setup information and the language files; without the setup
  // information the run ends here: quietly when the archive lacks it or is
  // missing, with 1 after any other failure.
  view.Pump();
  const long result = ExtractSetupFiles();
  ReportSetupFiles(result, parts_.sourceFolder + kArchive);
  view.Pump();
  if (!FileExists(folder + kSetupInformation)) return result > 0 && !ArchiveMissing(result);
  {
    const std::string setupInformation = folder + kSetupInformation;
    const UniqueFile held =
        HoldFile(setupInformation, Format(msg::HoldFailedText, setupInformation.c_str()));
    view.Prepare(folder);
  }
  SetScreenCursor(crHourGlass);
  view.Pump();
  PaceProgress(0, 50);
  // The archive's copy, written and held by this run until the installer
  // has been extracted from it.
  UniqueFile archiveCopy = CopyArchive(parts_.sourceFolder + kArchive, folder + kArchive);
  const std::string commandLine = InstallerCommandLine(folder + "\\", parts_.sourceFolder);
  UniqueFile installer = ExtractInstaller();
  archiveCopy.reset();
  PaceProgress(51, 75);
  view.Pump();
  parts_.zip.reset();
  PaceProgress(76, 100);
  parts_.clock->Wait(2000);
  // The installer this run extracted, held until it has started and the
  // gate has admitted it; the workspace is let go once it runs.
  parts_.gate->Admit(installer.get(), folder + kInstaller);
  if (!parts_.workspace->Holds(installer.get(), medium::kInstallerFile))
    StopSetup(Format(msg::WorkspaceNotSafeText, folder.c_str()));
  StartInstaller(commandLine, folder, folder + kInstaller);
  installer.reset();
  parts_.workspace->Release();
  SetScreenCursor(crDefault);
  // The exit code of the still running process (STILL_ACTIVE).
  DWORD exitCode = 0;
  GetExitCodeProcess(GetCurrentProcess(), &exitCode);
  return exitCode;
}

long THandOff::ExtractSetupFiles() {
  TXceedZip& zip = *parts_.zip;
  zip.SetZipFilename(parts_.sourceFolder + kArchive);
  zip.SetZipOpenedFiles(true);
  zip.SetUnzipToFolder(parts_.workspace->path());
  zip.SetEncryptionPassword(medium::kArchivePassword);
  zip.AddFilesToProcess(medium::kLanguageMask);
  zip.AddFilesToProcess(medium::kSetupInfoMask);
  return zip.Unzip();
}

// The installer, from the archive's copy; the password and the
// opened-files setting of the first extraction are still in force.
UniqueFile THandOff::ExtractInstaller() {
  const std::string& folder = parts_.workspace->path();
  const std::string archive = folder + kArchive;
  const std::string installer = folder + kInstaller;
  TXceedZip& zip = *parts_.zip;
  zip.SetZipFilename(archive);
  zip.AddFilesToProcess(medium::kInstallerFile);
  zip.SetUnzipToFolder(folder);
  const long result = zip.Unzip();
  if (result != 0)
    StopSetup(Format(msg::ExtractFailedText, installer.c_str(), archive.c_str(), result));
  return HoldFile(installer, Format(msg::NotExtractedText, installer.c_str(), archive.c_str()));
}

// One position every 50 ms.
void THandOff::PaceProgress(int from, int to) {
  for (int p = from; p <= to; ++p) {
    parts_.clock->Wait(50);
    parts_.view->SetProgress(p);
  }
}
