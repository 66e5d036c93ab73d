#include "runtime/core/Format.h"

#include <cstdarg>
#include <cstdio>

// The C runtime's own formatter does the work: the program's texts need only
// %s, %d, %x with widths and precisions, and the library's portable formatter
// would add its floating-point machinery to the program.
std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = _vscprintf(format, copy);
  va_end(copy);
  std::string result;
  if (length > 0) {
    result.resize(static_cast<size_t>(length));
    _vsnprintf(&result[0], result.size(), format, args);
  }
  va_end(args);
  return result;
}
