// vsinspect [--plain] FILE
// vsinspect --setup-inf FILE | --language FILE
// Prints a value stream file as readable text: one value per line with its
// offset, indented by nesting. --plain leaves the offsets out, so the output
// is a description vswrite turns back into the same bytes. A damaged file is
// printed up to where it stops being readable, followed by a line
// "error at offset N: why".
// --setup-inf and --language read the file as Setup.exe does and report what
// it would take from it, or the failure it would end with.
// Exit code 0 when readable, 1 when damaged (for the checks also when the
// file cannot be opened), 2 for usage errors and unreadable files.
#include "vstools/FileBytes.h"
#include "vswriter/Description.h"
#include "vswriter/MediumCheck.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

int Usage() {
  std::fprintf(stderr, "usage: vsinspect [--plain] FILE\n"
                       "       vsinspect --setup-inf FILE\n"
                       "       vsinspect --language FILE\n");
  return 2;
}

int Print(bool ok, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) return Usage();
  const char* option = argc == 3 ? argv[1] : "";
  const char* path = argv[argc - 1];
  std::string text;
  if (std::strcmp(option, "--setup-inf") == 0) {
    bool ok = CheckSetupInfo(path, text);
    return Print(ok, text);
  }
  if (std::strcmp(option, "--language") == 0) {
    bool ok = CheckLanguageFile(path, text);
    return Print(ok, text);
  }
  if (argc == 3 && std::strcmp(option, "--plain") != 0) return Usage();
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) {
    std::fprintf(stderr, "vsinspect: cannot read %s: %s\n", path, std::strerror(errno));
    return 2;
  }
  bool ok = DescribeValueStream(bytes, argc == 2, text);
  return Print(ok, text);
}
