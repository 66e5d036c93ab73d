// a * b / d computed exactly (64-bit product) and rounded to the nearest
// integer, halves away from zero: the platform's MulDiv, portable so the
// geometry built on it can be tested natively. d = 0 gives -1, as there.
#pragma once

#include <cstdint>

int32_t MulDivRound(int32_t a, int32_t b, int32_t d);
