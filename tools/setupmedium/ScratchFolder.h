// A folder of the tools' own in the temporary folder, made fresh under a
// random name and removed with everything in it when its owner goes.
#pragma once

#include <filesystem>
#include <string>

namespace setupmedium {

class ScratchFolder {
public:
  // Raises ToolError when no folder can be made; purpose ("signing",
  // "checking") goes into its name and the message.
  explicit ScratchFolder(const std::string& purpose);
  const std::filesystem::path& Path() const { return path_; }

  // Removes the folder: one owner, never copied.
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
  std::filesystem::path path_;
};

}  // namespace setupmedium
