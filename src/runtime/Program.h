// The program's frame: the application object, COM for the thread, the
// default failure report and the normal end of the program.
#pragma once

class Exception;

// Creates the application object and runs the program's body. A failure that
// escapes the body is shown with the default failure report and the program
// ends with exit code 1; a body that returns ends it with exit code 0.
[[noreturn]] void RunProgram(void (*body)());

// Initialises COM for the thread (single-threaded apartment); the normal end
// uninitialises it again.
void InitializeCom();

// The normal end of the program: the application object goes with the forms
// it owns (their windows and what they hold), COM is uninitialised, then the
// process ends with the exit code. Called from inside a form's method too:
// nothing of the caller runs after it.
[[noreturn]] void Halt(unsigned exitCode);

// The default failure report: a task-modal error box without owner,
// caption "Anwendungsfehler", naming the class, module and code address.
void ShowDefaultFailureReport(const Exception& failure);
