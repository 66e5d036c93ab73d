// The hand-off's files in the temporary folder, a folder any program of the
// user may write to: only what this run wrote there is read or started.
// Each helper stops the run (StopSetup) when it cannot do its work.
#pragma once

#include "runtime/Handles.h"

#include <string>

// Removes a file left where an extraction or the archive's copy is about to
// put its own (clearing read-only first), so that only this run can
// produce it. Stops the run when it cannot be removed.
void RemoveLeftover(const std::string& path);

// Copies the medium's archive into the temporary folder, over a file that
// may be there. Stops the run when the copy fails (also when the medium's
// archive has gone: a removed disc).
void CopyArchive(const std::string& source, const std::string& copy);

// Opens a file this run has just written, for reading and sharing reading
// only: while the owner lives nobody can write, replace, rename or delete
// it, and it can still be read and started. Stops the run with notThereText
// when the file is not there, and with a text of its own when someone else
// has it open for writing or deleting. The zip component closes what it
// wrote before its Unzip returns: a file swapped in the instant between
// that and this call cannot be told from the written one.
UniqueFile HoldFile(const std::string& path, const std::string& notThereText);
