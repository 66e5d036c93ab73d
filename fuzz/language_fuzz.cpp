// Loads the input as a language file and looks up every text it gave; the
// expanded texts must hold no "\n" or "\t" pair any more.
#include "runtime/core/Failures.h"
#include "text/core/CSprache.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

void RemoveFile();

// Never destroyed, so it is still there when the exit handler removes the file.
const std::string& FilePath() {
  static const std::string& path = *new std::string([] {
    std::atexit(RemoveFile);
    return "/tmp/language_fuzz_" + std::to_string(getpid()) + ".lng";
  }());
  return path;
}

void RemoveFile() { std::remove(FilePath().c_str()); }

bool HasPair(const std::string& text, char letter) {
  for (size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '\\' && text[i + 1] == letter) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(FilePath().c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  cSprachContainer table;
  try {
    LoadLanguageFile(table, FilePath());
  } catch (const EStreamError&) {
  }
  for (int i = 0; i < table.Count(); ++i) {
    const int32_t number = table.Entry(i).FNumber;
    std::string text = table.GetText(number);
    if (HasPair(text, 'n') || HasPair(text, 't')) __builtin_trap();
    if (table.IndexOf(number) > i) __builtin_trap();
  }
  return 0;
}
