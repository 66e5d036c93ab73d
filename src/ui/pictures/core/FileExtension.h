// The extension of a picture file name: the characters after the last "."
// that follows the last "\" or ":", without the dot; empty when there is
// none. Kept as written; the registry compares it lower-cased.
#pragma once

#include <string>

std::string PictureFileExtension(const std::string& fileName);
// ASCII lower case, as the registry stores its extensions.
std::string LowerExtension(std::string extension);
