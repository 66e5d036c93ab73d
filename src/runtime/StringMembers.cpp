// The one copy of the std::string members the program's units share in the
// shipped 32-bit build (declared in cmake/StringInstances.h).
#include <string>

namespace std {
template basic_string<char>::pointer basic_string<char>::_M_create(size_type&, size_type);
template basic_string<wchar_t>::pointer basic_string<wchar_t>::_M_create(size_type&, size_type);
template void basic_string<char>::_M_construct<const char*>(const char*, const char*,
                                                            forward_iterator_tag);
}  // namespace std
