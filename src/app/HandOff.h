// The hand-off: extract the setup information and the language files from
// the medium's archive into the run's workspace, have the progress view
// prepared from them, pace the progress, copy the archive and extract the
// installer from the copy, start it, end the process.
//
// Its parts are given to it, so that tests can run its decisions in the
// test's own process: the workspace, the zip component, the progress view,
// the clock, the end of the process and the installer gate.
#pragma once

#include "app/InstallerGate.h"
#include "runtime/Workspace.h"
#include "zip/XceedZip.h"

#include <cstdint>
#include <memory>
#include <string>

// What the hand-off shows: the progress window in the program.
class THandOffView {
public:
  virtual ~THandOffView() = default;
  // Takes the texts and the silent flag from folder + "\setup.inf" and the
  // language file it names, and shows itself unless the run is silent.
  virtual void Prepare(const std::string& folder) = 0;
  virtual void SetProgress(int position) = 0;
  // Dispatches every window message waiting, then returns.
  virtual void Pump() = 0;
};

// Waiting while the windows stay serviced (WaitTicks in the program).
class THandOffClock {
public:
  virtual ~THandOffClock() = default;
  virtual void Wait(uint32_t ms) = 0;
};

// The end of the process (ExitProcess in the program).
class TProcessEnd {
public:
  virtual ~TProcessEnd() = default;
  [[noreturn]] virtual void End(unsigned exitCode) = 0;
};

struct THandOffParts {
  std::unique_ptr<TWorkspace> workspace;  // Ready
  std::unique_ptr<TXceedZip> zip;
  THandOffView* view;
  THandOffClock* clock;
  TProcessEnd* end;
  const TInstallerGate* gate;
  std::string sourceFolder;  // no trailing backslash
};

class THandOff {
public:
  explicit THandOff(THandOffParts parts) : parts_(std::move(parts)) {}

  // Runs to the end of the process. A run that stops (a box, a failure, no
  // setup information) removes its workspace first; a run that started
  // the installer leaves it to the installer.
  [[noreturn]] void Run();

private:
  unsigned Steps();
  long ExtractSetupFiles();
  UniqueFile ExtractInstaller();
  void PaceProgress(int from, int to);

  THandOffParts parts_;
};

// The program's parts for the progress window: the zip component, the
// workspace in the temporary folder (earlier runs' workspaces removed
// first), WaitTicks, ExitProcess and the run's installer gate. Stops the
// run with a box when the workspace cannot be made safely.
THandOffParts ProgramHandOffParts(THandOffView& view);

// The temporary folder, no trailing backslash, as the run determines it:
// created when missing, in its short form when needed, with a "Temp"
// subfolder made when the current folder lies inside it. Stops the run with
// a box naming the folder when it is unusable or too long.
std::string HandOffTempFolder(const std::string& currentFolder);
