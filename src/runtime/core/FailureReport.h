// The texts of the program's two failure reports.
#pragma once

#include <cstdint>
#include <string>

// The default failure report: "Exception %s in Modul %s bei %p.\r\n%s%s\r\n"
// with the class name, the module's file name after the last backslash, the
// code address relative to the module's base as 8 hexadecimal digits, the
// message, and "." unless the message is empty or ends with a full stop.
std::string DefaultFailureReportText(const std::string& className, const std::string& modulePath,
                                     uint64_t offset, const std::string& message);

// The message of a COM failure: the component's or the system's text, trailing
// blanks and full stops removed; the first that is not empty, else
// "OLE-Fehler %.8x" with the result code.
std::string OleFailureMessage(const std::string& description, const std::string& systemText,
                              uint32_t result);
