// File names read from files the program did not write: a name meant for one
// folder must not reach another one or a device.
#pragma once

#include <string>

// True for a name that stays in the folder it is joined to: not empty, no
// '\' or '/', no ':' (drives, alternate data streams), not only dots ("."
// and ".."), and not a device name with or without an extension (CON, PRN,
// AUX, NUL, CONIN$, CONOUT$, COM1..COM9, LPT1..LPT9, the last two also with
// the code page 1252 superscript digits), in any letter case.
bool IsPlainFileName(const std::string& name);
