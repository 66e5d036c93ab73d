// The one failure the tools raise: what went wrong, for the person running
// them, naming the file or the value concerned.
#pragma once

#include <string>

struct ToolError {
  std::string text;
  bool damaged = false;  // an archive's data do not match their CRC, or do not inflate
};
