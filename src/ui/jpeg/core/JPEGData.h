// The compressed bytes of a JPEG picture with the values read from their
// header. Shared and reference counted: a picture refers to one, and
// loading again makes a new one.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class TJPEGData {
public:
  std::vector<uint8_t> FData;  // the file's bytes, held whole
  int FWidth = 0;
  int FHeight = 0;
  bool FGrayscale = false;  // the header's colour space is grayscale
};

using TJPEGDataRef = std::shared_ptr<const TJPEGData>;
