#include "ScratchFolder.h"

#include "ToolError.h"

#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace setupmedium {

ScratchFolder::ScratchFolder(const std::string& purpose) {
  std::random_device random;
  std::error_code error;
  const fs::path base = fs::temp_directory_path(error);
  for (int attempt = 0; attempt < 100 && path_.empty() && !error; ++attempt) {
    const fs::path candidate = base / ("setupmedium-" + purpose + "-" + std::to_string(random() % 1000000));
    if (fs::create_directory(candidate, error)) {
      fs::permissions(candidate, fs::perms::owner_all, error);  // only the user reads what is put there
      path_ = candidate;
    }
  }
  if (path_.empty()) throw ToolError{"cannot make a scratch folder for " + purpose + " in the temporary folder"};
}

ScratchFolder::~ScratchFolder() {
  std::error_code error;
  fs::remove_all(path_, error);
}

}  // namespace setupmedium
