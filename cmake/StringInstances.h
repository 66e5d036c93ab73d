// Force-included in the shipped 32-bit build (SetupFlags.cmake): the
// members of std::string the program uses are instantiated in its own
// objects, where unused ones are collected at link time, instead of taken
// from the library's explicit instantiation, whose unwind tables keep all of
// its members (about 33 KB) in the program. The value -1 is the library's
// own switch for "no extern templates of basic_string only".
//
// The program's own units (SETUP_SHARED_STRING_MEMBERS, src/CMakeLists.txt)
// share one copy of the members that the optimiser would otherwise clone
// into every unit that calls them (a private, specialised copy each, which
// the linker cannot merge); src/runtime/StringMembers.cpp instantiates them.
#pragma once
#ifdef __cplusplus
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
#ifdef SETUP_SHARED_STRING_MEMBERS
#include <string>
namespace std {
extern template basic_string<char>::pointer basic_string<char>::_M_create(size_type&, size_type);
extern template basic_string<wchar_t>::pointer basic_string<wchar_t>::_M_create(size_type&,
                                                                                size_type);
extern template void basic_string<char>::_M_construct<const char*>(const char*, const char*,
                                                                   forward_iterator_tag);
}  // namespace std
#endif
#endif
