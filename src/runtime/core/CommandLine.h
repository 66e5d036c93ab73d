// Splitting of the process command line into arguments.
#pragma once

#include <string>
#include <vector>

// Splits a command line the way the program reads its arguments: arguments
// are separated by runs of characters with codes below 33; inside a
// double-quoted stretch blanks belong to the argument and the quotes are
// dropped; an empty pair of quotes standing alone is skipped. The first
// element is the program itself.
std::vector<std::string> SplitCommandLine(const char* commandLine);

// The arguments after the program name, as SplitCommandLine gives them.
std::vector<std::string> CommandLineArguments(const char* commandLine);
