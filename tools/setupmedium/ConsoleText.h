// The console on both systems: arguments arrive as UTF-8 (on Windows from
// the wide command line, whatever the console's code page), output leaves
// as UTF-8 (on Windows the console is switched to it).
#pragma once

#include <cstdio>
#include <string>

namespace CLI { class App; }

namespace setupmedium {

void ParseArguments(CLI::App& app, int argc, char** argv);
void Print(std::FILE* stream, const std::string& utf8);

}  // namespace setupmedium
