// vsinspect [--plain] FILE
// Prints a value stream file as readable text: one value per line with its
// offset, indented by nesting. --plain leaves the offsets out, so the output
// is a description vswrite turns back into the same bytes. A damaged file is
// printed up to where it stops being readable, followed by a line
// "error at offset N: why"; the exit code is then 1 (2 for usage and file
// errors).
#include "vstools/FileBytes.h"
#include "vswriter/Description.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  bool plain = argc == 3 && std::strcmp(argv[1], "--plain") == 0;
  if (argc != 2 && !plain) {
    std::fprintf(stderr, "usage: vsinspect [--plain] FILE\n");
    return 2;
  }
  const char* path = argv[argc - 1];
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) {
    std::fprintf(stderr, "vsinspect: cannot read %s: %s\n", path, std::strerror(errno));
    return 2;
  }
  std::string text;
  bool ok = DescribeValueStream(bytes, !plain, text);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return ok ? 0 : 1;
}
