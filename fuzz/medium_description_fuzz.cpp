// The medium description reader on any text: it either gives a description
// or a fault that names the file, never anything else.
#include "MediumDescription.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    setupmedium::ParseMediumDescription(text, "/m/medium.toml");
  } catch (const ToolError& e) {
    if (e.text.rfind("/m/medium.toml:", 0) != 0) __builtin_trap();
  }
  return 0;
}
