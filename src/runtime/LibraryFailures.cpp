// The standard library's own failures (a string too long, an index out of
// range, memory exhausted) raised as the program's failures, so that the
// program's reports show them. Defining every one of these here also keeps
// the library's versions, and the exception and string machinery they drag
// along, out of the program.
#include "runtime/core/Failures.h"
#include "runtime/core/Messages.h"

#include <new>

namespace std {

void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_alloc(); }
void __throw_bad_cast() { throw Exception("bad cast"); }
void __throw_bad_typeid() { throw Exception("bad typeid"); }
void __throw_bad_exception() { throw Exception("bad exception"); }
void __throw_logic_error(const char* what) { throw Exception(what); }
void __throw_domain_error(const char* what) { throw Exception(what); }
void __throw_invalid_argument(const char* what) { throw Exception(what); }
void __throw_runtime_error(const char* what) { throw Exception(what); }
void __throw_length_error(const char*) { throw ERangeError(msg::RangeError); }
void __throw_out_of_range(const char*) { throw ERangeError(msg::RangeError); }
void __throw_out_of_range_fmt(const char*, ...) { throw ERangeError(msg::RangeError); }
void __throw_range_error(const char*) { throw ERangeError(msg::RangeError); }
void __throw_overflow_error(const char*) { throw ERangeError(msg::RangeError); }
void __throw_underflow_error(const char*) { throw ERangeError(msg::RangeError); }

}  // namespace std
