#include "runtime/core/CommandLine.h"

namespace {

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' ' && c != '\0'; }

// Skips separators and empty quote pairs that stand alone.
const char* SkipGap(const char* p) {
  for (;;) {
    while (IsSeparator(*p)) ++p;
    if (p[0] == '"' && p[1] == '"' && (p[2] == '\0' || IsSeparator(p[2]))) {
      p += 2;
      continue;
    }
    return p;
  }
}

}  // namespace

std::vector<std::string> SplitCommandLine(const char* commandLine) {
  std::vector<std::string> result;
  if (commandLine == nullptr) return result;
  const char* p = SkipGap(commandLine);
  while (*p != '\0') {
    std::string argument;
    while (*p != '\0' && !IsSeparator(*p)) {
      if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') argument += *p++;
        if (*p == '"') ++p;
      } else {
        argument += *p++;
      }
    }
    result.push_back(std::move(argument));
    p = SkipGap(p);
  }
  return result;
}

std::vector<std::string> CommandLineArguments(const char* commandLine) {
  std::vector<std::string> all = SplitCommandLine(commandLine);
  if (!all.empty()) all.erase(all.begin());
  return all;
}
