// The program's 8-bit texts and the platform's UTF-16 ones, both ways, in
// the one ANSI code page the program's texts are in: the thread's locale's
// (CP_THREAD_ACP). Every conversion of the program goes through here
// (core/CodePage.h's AnsiFromUtf16 too).
#pragma once

#include <cstddef>
#include <string>

std::string AnsiFromWide(const wchar_t* text, size_t length);
std::wstring WideFromAnsi(const std::string& text);
