// One run at a time per temporary folder. Runs that share a temporary folder
// would share (and remove) each other's files and start the installer twice,
// so the first thing a run does is take a mutex named after that folder. A
// run that finds it held shows nothing of its own: it brings the holder's
// visible window to the front and ends.
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
  // Takes the mutex for the folder key, also when its last holder ended
  // without giving it back, and then records this process as the holder.
  // When the mutex cannot be made at all, the run goes on as if it held it.
  explicit SingleRun(const std::wstring& folderKey);

  // False when another run holds the folder.
  bool Held() const { return held_; }

  // Brings the holder's progress window to the front, or its splash window
  // when the progress window is not visible; nothing when neither is.
  void BringHolderToFront() const;

private:
  std::wstring key_;
  bool held_ = true;
  // Both live until the process ends; the platform releases the mutex then.
  UniqueKernelObject mutex_;
  UniqueKernelObject holder_;  // shared memory holding the holder's process id
};
