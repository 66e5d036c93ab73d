// printf-style formatting into a std::string (no iostreams in the program).
#pragma once

#include <string>

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
