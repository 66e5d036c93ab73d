// The program entry and its start-up sequence: fix the source folder,
// deploy and register the zip component, show the splash picture, create the
// progress window and hand over to it.
#include "app/Main.h"
#include "app/Publisher.h"
#include "app/SingleRun.h"
#include "app/UFrmSplashPicture.h"
#include "app/core/MediumNames.h"
#include "app/core/SourceFolder.h"
#include "runtime/Application.h"
#include "runtime/core/CommandLine.h"
#include "runtime/DllSearch.h"
#include "runtime/Folders.h"
#include "runtime/Handles.h"
#include "runtime/core/Messages.h"
#include "runtime/ProcAddress.h"
#include "runtime/Program.h"
#include "ui/jpeg/JPEGImage.h"
#include "ui/pictures/FileFormats.h"
#include "ui/pictures/Picture.h"

#include <windows.h>
#include <olectl.h>

#include <string>

// The setup source folder, without a trailing backslash.
std::string SourceDir;
// The chosen splash picture's extension (".jpg", ".bmp", ".emf", ".wmf"), or empty.
std::string SplashExt;

namespace {

// How long a second start looks for the first run's windows.
constexpr DWORD kHolderPatienceMs = 3000;

const std::string kComponentName = std::string("\\") + medium::kComponentFile;
const std::string kSplashPicture = std::string("\\") + medium::kSplashBaseName;

// Loads the library by its full path, calls its DllRegisterServer and unloads
// it again, also when the registration raised a failure.
void RegisterOcx(const std::string& path) {
  UniqueModule library(LoadLibraryA(path.c_str()));
  if (!library) return;
  auto registerServer = PROC_ADDRESS(library.get(), DllRegisterServer);
  if (registerServer)
    registerServer();
  else
    Application->ShowMessageBox(msg::OcxErrorText, msg::OcxErrorCaption, MB_OKCANCEL);
}

// COM for the component, and the title every box of the run carries.
void InitialiseApplication() {
  InitializeCom();
  Application->SetTitle("Setup");
}

// Copies the component into the system folder and registers it there.
// Attribute changes and the copy may fail (read-only media, say): ignored.
void DeployComponent(const std::string& systemFolder) {
  const std::string source = SourceDir + kComponentName;
  const std::string target = systemFolder + kComponentName;
  const UniqueFile admitted = AdmitComponent(source);  // signed media: the publisher's, held until copied
  MakeArchiveOnly(source);
  if (FileExists(target)) MakeArchiveOnly(target);
  CopyFileA(source.c_str(), target.c_str(), FALSE);
  Application->ProcessMessages();
  RegisterOcx(target);
}

// Picks the splash picture: the first kind that exists on the medium decides.
void ChooseSplashPicture() {
  SplashExt.clear();
  for (const char* extension : medium::kSplashExtensions) {
    if (FileExists(SourceDir + kSplashPicture + extension)) {
      SplashExt = extension;
      return;
    }
  }
}

// Shows the splash window. It comes up at once when it is created; a picture that
// cannot be loaded leaves it empty at its design size. The picture is first
// painted at the hand-off's first pumping: this is a plain sleep.
void ShowSplashPicture() {
  try {
    frmSplashPicture = Application->CreateForm<TfrmSplashPicture>();
    TPicture& picture = frmSplashPicture->Picture();
    picture.LoadPictureFile(SourceDir + kSplashPicture + SplashExt);
    frmSplashPicture->SetWidth(picture.PictureWidth());
    frmSplashPicture->SetHeight(picture.PictureHeight());
  } catch (...) {
    // whatever failed, the run goes on without the picture
  }
  if (frmSplashPicture) frmSplashPicture->Show();
  Sleep(1000);
}

// Creates the progress window, hidden.
void CreateMainForm() {
  frmMain = Application->CreateForm<TfrmMain>();
  frmMain->FHasSplash = !SplashExt.empty();
}

// What the picture units set up when the program starts: the JPEG kind's
// defaults and registry entries, then the entry for OLE pictures.
void InitialisePictureKinds() {
  InitializeJPEGImage();
  RegisterOleGraphicFormat();
}

void StartUp() {
  InitialisePictureKinds();
  InitialiseApplication();
  const std::string currentFolder = CurrentFolder();
  const std::string systemFolder = SystemFolder();
  // The medium's folder: the first argument, else the current folder.
  SourceDir = SourceFolderFrom(CommandLineArguments(GetCommandLineA()), currentFolder);
  DecidePublisher();  // signed media: Setup.exe's signer, before any part is touched
  if (!FileExists(SourceDir + kComponentName)) {  // not a medium
    Application->Terminate();
    return;  // the normal end, exit code 0, nothing shown
  }
  DeployComponent(systemFolder);
  ChooseSplashPicture();
  if (!SplashExt.empty()) ShowSplashPicture();
  CreateMainForm();
  frmMain->StartSetup();  // the hand-off; it halts the program, which destroys the forms
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything can load a library by name.
  RestrictDllSearchToSystemFolder();
  // One run per temporary folder, decided before anything is deployed or a
  // file of that folder is touched. The mutex stays taken until the process
  // ends. A second run creates no window: it brings the first run's window
  // forward and ends; a holder that is no run of Setup, or a name taken by
  // another kind of object, stops it with a box.
  const SingleRun run(TempFolderKey());
  if (run.state() != SingleRun::Held) {
    if (run.state() == SingleRun::OtherRun && run.BringHolderToFront(kHolderPatienceMs)) return 0;
    MessageBoxA(nullptr, run.state() == SingleRun::OtherRun ? msg::RunNotFoundText
                                                           : msg::RunNameTakenText,
                msg::ErrorCaption, MB_OK | MB_ICONSTOP);
    return 1;
  }
  RunProgram(StartUp);
}
