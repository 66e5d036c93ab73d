// Keeps libraries planted beside the program (on a medium or in a downloads
// folder) from being loaded in place of the platform's own.
#pragma once

// Restricts the search for libraries loaded by name to the system folder,
// where the platform offers it (looked up at run time, so older Windows
// still start); elsewhere at least takes the current folder out of the
// search. Libraries loaded by full path are not affected.
void RestrictDllSearchToSystemFolder();
