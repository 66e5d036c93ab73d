#include "InstalledFiles.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace setupmedium {
namespace {

fs::path RunningProgram() {
#ifdef _WIN32
  wchar_t name[32768];
  const DWORD length = GetModuleFileNameW(nullptr, name, 32768);
  return length > 0 && length < 32768 ? fs::path(name) : fs::path();
#else
  std::error_code error;
  return fs::read_symlink("/proc/self/exe", error);
#endif
}

}  // namespace

std::optional<fs::path> InstalledShare() {
  const fs::path program = RunningProgram();
  if (program.empty()) return std::nullopt;
  const fs::path share = program.parent_path().parent_path() / "share" / "setupmedium";
  std::error_code error;
  if (!fs::is_directory(share, error)) return std::nullopt;
  return share;
}

}  // namespace setupmedium
