// How the hand-off stops when it cannot go on safely: with a file in the
// temporary folder that this run did not write, or after a step that did
// not do its work.
#pragma once

#include <string>

// One box owned by the hidden application window, caption "Fehler", OK
// only, with the text (naming the file and what failed); then the screen
// cursor goes back to the default and the program ends with exit code 1
// through its normal end (the silent abort failure: nothing else is shown).
[[noreturn]] void StopSetup(const std::string& text);
