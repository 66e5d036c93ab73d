// Force-included in the shipped 32-bit build (SetupFlags.cmake): the
// members of std::string the program uses are instantiated in its own
// objects, where unused ones are collected at link time, instead of taken
// from the library's explicit instantiation, whose unwind tables keep all of
// its members (about 33 KB) in the program. The value -1 is the library's
// own switch for "no extern templates of basic_string only".
#pragma once
#ifdef __cplusplus
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
#endif
