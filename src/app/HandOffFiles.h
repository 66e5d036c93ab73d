// The hand-off's files in the run's workspace: what this run wrote there is
// held while it is read or started. Each helper stops the run (StopSetup)
// when it cannot do its work.
#pragma once

#include "runtime/Handles.h"

#include <string>

// Writes the medium's archive to a new file copy (which must not exist yet)
// and gives that file's handle, which shares reading only: nobody else can
// write, replace or rename the copy while it is held. Stops the run when
// the copy fails (also when the medium's archive has gone: a removed disc).
UniqueFile CopyArchive(const std::string& source, const std::string& copy);

// Opens a file this run has just written, for reading and sharing reading
// only: while the owner lives nobody can write, replace, rename or delete
// it, and it can still be read and started. Stops the run with notThereText
// when the file is not there, and with a text of its own when someone else
// has it open for writing or deleting.
UniqueFile HoldFile(const std::string& path, const std::string& notThereText);
