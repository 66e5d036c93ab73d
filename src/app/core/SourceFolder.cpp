#include "app/core/SourceFolder.h"

#include "app/core/MediumNames.h"

std::string WithoutTrailingBackslash(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::string SourceFolderFrom(const std::vector<std::string>& arguments,
                             const std::string& currentFolder) {
  return WithoutTrailingBackslash(arguments.empty() ? currentFolder : arguments.front());
}

std::string InstallerCommandLine(const std::string& tempPathWithBackslash,
                                 const std::string& sourceFolder) {
  return "\"" + tempPathWithBackslash + medium::kInstallerFile + "\" " + sourceFolder;
}
