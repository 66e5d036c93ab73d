// The last look at the installer this run extracted before it is started.
// The hand-off holds the file open (read sharing only) while the gate looks
// at it, so what the gate judges is what will run.
#pragma once

#include <windows.h>

#include <string>

class TInstallerGate {
public:
  virtual ~TInstallerGate() = default;
  // Returns when the installer may start; stops the run (StopSetup) when it
  // must not. heldInstaller is the hand-off's own handle of the file.
  virtual void Admit(HANDLE heldInstaller, const std::string& path) const = 0;
};

// The gate of this run, decided at start-up.
const TInstallerGate& RunInstallerGate();
