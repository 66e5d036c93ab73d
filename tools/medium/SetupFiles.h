// The files inside "_Setup.lib" that the start-up program reads: the setup
// information head and a language file, written as value streams.
#pragma once

#include <cstdint>
#include <map>
#include <string>

struct SetupInfo {
  int32_t version = 5000;
  std::string languageFile = "Deutsch.lng";
  std::string productName = "Demo Produkt";
  std::string productVersion = "1.0";
  bool silent = false;
};

// "Setup.inf": the head the program reads, the skipped fields with
// placeholder values.
std::string SetupInfoFile(const SetupInfo& info);

// A language file: the name and symbol head, then one list of numbered
// texts (8-bit text in code page 1252).
std::string LanguageFile(const std::string& language, const std::map<int32_t, std::string>& texts);
