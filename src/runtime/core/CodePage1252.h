// Code page 1252, the ANSI code page the program's texts are written in:
// the one table of its characters, for the native build's conversion and for
// the authoring tools.
#pragma once

#include <cstdint>

// The character of a byte, or 0 for the five bytes the code page leaves out
// (0x81, 0x8D, 0x8F, 0x90, 0x9D).
char32_t Cp1252ToUnicode(uint8_t byte);

// The byte of a character; false when the code page has none for it.
bool Cp1252FromUnicode(char32_t code, uint8_t& byte);
