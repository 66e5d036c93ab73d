// Checking the two value stream files of an installation medium the way
// Setup.exe reads them: the head of the setup information and a language
// file. The report is UTF-8 text for people preparing media; failures are
// given with the program's own message and the offset where reading stopped.
#pragma once

#include <string>

namespace setupmedium {

// Reads the head of a setup information file (format version, language file
// name, product name and version, silent flag). Gives false when Setup.exe
// would fail on it.
bool CheckSetupInfo(const std::string& fileName, std::string& report);

// Loads a language file as Setup.exe does and lists its texts in file
// order, expanded. Gives false when Setup.exe would fail on it.
bool CheckLanguageFile(const std::string& fileName, std::string& report);

}  // namespace setupmedium
