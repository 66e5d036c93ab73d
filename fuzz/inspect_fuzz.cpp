// The inspector on any bytes: it must not fail on its own, and whatever it
// prints as readable must build back into exactly the same bytes.
#include "vswriter/Description.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string text;
  bool readable = DescribeValueStream(bytes, false, text);
  std::string withOffsets;
  if (DescribeValueStream(bytes, true, withOffsets) != readable) __builtin_trap();
  if (!readable) return 0;
  std::string rebuilt, error;
  if (!BuildValueStream(text, rebuilt, error) || rebuilt != bytes) __builtin_trap();
  return 0;
}
