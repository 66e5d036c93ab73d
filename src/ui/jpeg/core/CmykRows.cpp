#include "ui/jpeg/core/CmykRows.h"

namespace {

// a × b / 255, rounded to nearest.
inline uint8_t Scale255(unsigned a, unsigned b) {
  unsigned t = a * b + 128;
  return static_cast<uint8_t>((t + (t >> 8)) >> 8);
}

}  // namespace

void CmykRowToBgr(const uint8_t* cmyk, uint8_t* bgr, int width, bool inverted) {
  // Each colour is what remains of white after its ink and the black ink.
  const unsigned flip = inverted ? 0 : 255;
  for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    unsigned k = cmyk[3] ^ flip;
    bgr[0] = Scale255(cmyk[2] ^ flip, k);
    bgr[1] = Scale255(cmyk[1] ^ flip, k);
    bgr[2] = Scale255(cmyk[0] ^ flip, k);
  }
}
