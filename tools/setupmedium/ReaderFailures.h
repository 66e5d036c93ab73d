// The failure texts of the program's readers are German, as Setup.exe shows
// them; a report quotes them as they are and adds the reason in English.
#pragma once

#include <string>

namespace setupmedium {

// A text quoted for a report: UTF-8, with quotes and backslashes inside
// escaped so that the quoted text ends where it seems to.
std::string Quoted(const std::string& cp1252);

// The quoted failure text with its English reason, e.g.
// "Stream-Lesefehler" (the data end too early).
std::string ReaderFailure(const std::string& cp1252);

}  // namespace setupmedium
