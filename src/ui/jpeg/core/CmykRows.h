// Four-component output of the library (CMYK, and YCCK which the library
// turns into CMYK) made into blue-green-red rows. Files with an Adobe
// marker store the inks inverted (0 = full ink), as image editors write
// them; files without one store them plainly.
#pragma once

#include <cstdint>

void CmykRowToBgr(const uint8_t* cmyk, uint8_t* bgr, int width, bool inverted);
