// One run at a time per temporary folder. Runs that share a temporary folder
// would share (and remove) each other's files and start the installer twice,
// so the first thing a run does is take a mutex named after that folder. A
// run that finds it held brings the holder's visible window to the front
// and ends; when no window of a run shows up, something else holds the
// name, and the run says so instead of ending silently.
#pragma once

#include "runtime/Handles.h"

#include <string>

// A folder's key: its full path, in its long form when the folder exists,
// case-folded as the file system compares names (upper case).
std::wstring FolderKey(const std::wstring& folder);
// The key of the platform's temporary folder, read whole however long.
std::wstring TempFolderKey();

// The names of the mutex and of the holder's record for a folder key.
std::wstring SingleRunMutexName(const std::wstring& folderKey);
std::wstring SingleRunHolderName(const std::wstring& folderKey);

class SingleRun {
public:
  enum State { Held, OtherRun, NameTaken };

  // Takes the mutex for the folder key, also when its last holder ended
  // without giving it back, and then records this process as the holder.
  explicit SingleRun(const std::wstring& folderKey);

  // Held: this run has the folder. OtherRun: another process holds the
  // mutex. NameTaken: the name belongs to another kind of object, or the
  // mutex cannot be had at all.
  State state() const { return state_; }

  // Waits up to patienceMs for a window of the recorded holder (its hidden
  // application window counts); false when none came. When one is there,
  // brings the holder's progress window to the front, or its splash window
  // when the progress window is not visible.
  bool BringHolderToFront(DWORD patienceMs) const;

private:
  DWORD Holder() const;  // the recorded holder's process id, 0 when none

  std::wstring key_;
  State state_ = Held;
  // Both live until the process ends; the platform releases the mutex then.
  UniqueKernelObject mutex_;
  UniqueKernelObject holder_;  // shared memory holding the holder's process id
};
