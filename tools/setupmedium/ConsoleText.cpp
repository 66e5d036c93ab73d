#include "ConsoleText.h"

#include <CLI/CLI.hpp>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace setupmedium {

void ParseArguments(CLI::App& app, int argc, char** argv) {
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = count - 1; i >= 1; --i) {  // CLI11 takes them last first
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, utf8.data(), size, nullptr, nullptr);
    arguments.push_back(utf8);
  }
  LocalFree(wide);
  app.parse(arguments);
#else
  app.parse(argc, argv);
#endif
}

void Print(std::FILE* stream, const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fflush(stream);
}

}  // namespace setupmedium
