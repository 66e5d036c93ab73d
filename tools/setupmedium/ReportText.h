// The texts of the reports: program texts (code page 1252) shown as UTF-8,
// quoted, and the failure texts of the program's readers. Those are German,
// as Setup.exe shows them; a report quotes them as they are and adds the
// reason in English.
#pragma once

#include <cstdint>
#include <string>

namespace archive {
struct Entry;
}

namespace setupmedium {

// Program texts as UTF-8, control characters written as \r, \n, \t or
// \xHH.
std::string Printable(const std::string& cp1252);

// A text quoted for a report: UTF-8, with quotes and backslashes inside
// escaped so that the quoted text ends where it seems to.
std::string Quoted(const std::string& cp1252);

// The quoted failure text with its English reason, e.g.
// "Stream-Lesefehler" (the data end too early).
std::string ReaderFailure(const std::string& cp1252);

// What a failure of Setup.exe while it reads the medium looks like.
std::string FailureBox();

// "N bytes".
std::string Size(uint64_t bytes);

// An archive entry's name as the component reads it, control characters
// escaped.
std::string Shown(const archive::Entry& entry);

}  // namespace setupmedium
