// The run's private workspace: a new folder directly inside the temporary
// folder, "Setup." and 16 random hexadecimal digits, that only this run
// writes to. The temporary folder is open to every program of the user,
// and the installer started from it inherits the run's rights: a library
// planted there beside it would be loaded into it. The workspace is held
// open without delete sharing until the installer has started, checked by
// handle (a directory, no link, inside the temporary folder), and, when the
// run is elevated, carries an access list that only SYSTEM and the
// administrators may write through.
#pragma once

#include "runtime/Handles.h"

#include <string>

class TWorkspace {
public:
  enum Status { Ready, NotCreated, NotSafe };

  // Makes, holds, checks and (when elevated) protects a new workspace in
  // tempDir (no trailing backslash), then writes the marker into it. A name
  // that is taken is drawn again. Names come from the platform's random
  // generator unless drawName is given (tests).
  explicit TWorkspace(const std::string& tempDir, std::string (*drawName)() = nullptr);
  TWorkspace(const TWorkspace&) = delete;
  TWorkspace& operator=(const TWorkspace&) = delete;

  Status status() const { return status_; }
  // The folder, no trailing backslash (on failure: the last name tried).
  const std::string& path() const { return path_; }
  HANDLE handle() const { return folder_.get(); }

  // True when the open file is the workspace's file of that name, as the
  // platform resolves both: no link on the way has been re-pointed.
  bool Holds(HANDLE file, const char* name) const;

  // Lets go of the folder (the installer has started from it).
  void Release() { folder_.reset(); }
  // Lets go of the folder and removes it with everything in it (a run that
  // stops leaves nothing behind). Failures are skipped.
  void Remove();

private:
  Status status_ = NotCreated;
  std::string path_;
  UniqueFile folder_;
  wchar_t final_[1024] = {};  // the folder's final path
};

// The name of the marker file every workspace gets first.
inline constexpr char kWorkspaceMarker[] = "Setup.run";

// "Setup." and 16 hex digits from the platform's random generator; empty
// when it fails.
std::string RandomWorkspaceName();

// True for a name of the workspaces' form: "Setup." and 16 hex digits.
bool IsWorkspaceName(const char* name);

// Removes what earlier runs left in tempDir: folders of the workspaces'
// form that hold the marker; a folder still in use stays. Never follows a
// link, never stops the run.
void RemoveEarlierWorkspaces(const std::string& tempDir);

// Removes a folder and everything below it, deleting links as links;
// failures are skipped. True when the folder has gone.
bool RemoveFolderTree(const std::string& folder);

// Gives the folder an explicit, protected access list: full control for
// SYSTEM and the administrators, read and execute for the token's user,
// inherited by everything made in it. The handle needs WRITE_DAC.
bool ProtectFolder(HANDLE folder);

// True when the process token is elevated.
bool RunIsElevated();
