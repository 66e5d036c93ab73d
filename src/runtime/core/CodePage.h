// Conversion of UTF-16 text to 8-bit text in the ANSI code page of the
// current thread's locale. On Windows the platform converts; the native
// build (tests, tools, fuzzing) maps to code page 1252 with '?' for the rest.
#pragma once

#include <string>

std::string AnsiFromUtf16(const std::u16string& text);
