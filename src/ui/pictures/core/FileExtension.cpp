#include "ui/pictures/core/FileExtension.h"

std::string PictureFileExtension(const std::string& fileName) {
  const size_t dot = fileName.find_last_of(".\\:");
  if (dot == std::string::npos || fileName[dot] != '.') return std::string();
  return fileName.substr(dot + 1);
}

std::string LowerExtension(std::string extension) {
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return extension;
}
