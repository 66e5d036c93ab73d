// vswrite DESCRIPTION OUTPUT
// Builds a value stream file from a readable description (the line format is
// described in vswriter/Description.h). Exit code 0 on success, 1 when the
// description has a fault (reported with its line), 2 for usage and file
// errors.
#include "vstools/FileBytes.h"
#include "vswriter/Description.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vswrite DESCRIPTION OUTPUT\n");
    return 2;
  }
  std::string description;
  if (!ReadFileBytes(argv[1], description)) {
    std::fprintf(stderr, "vswrite: cannot read %s: %s\n", argv[1], std::strerror(errno));
    return 2;
  }
  std::string bytes, error;
  if (!BuildValueStream(description, bytes, error)) {
    std::fprintf(stderr, "%s:%s\n", argv[1], error.c_str() + 4);  // "file:N: why"
    return 1;
  }
  if (!WriteFileBytes(argv[2], bytes)) {
    std::fprintf(stderr, "vswrite: cannot write %s: %s\n", argv[2], std::strerror(errno));
    return 2;
  }
  return 0;
}
