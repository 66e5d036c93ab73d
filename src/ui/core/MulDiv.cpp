#include "ui/core/MulDiv.h"

int32_t MulDivRound(int32_t a, int32_t b, int32_t d) {
  if (d == 0) return -1;
  int64_t product = static_cast<int64_t>(a) * b;
  bool negative = (product < 0) != (d < 0);
  uint64_t magnitude = static_cast<uint64_t>(product < 0 ? -product : product);
  uint64_t divisor = static_cast<uint64_t>(d < 0 ? -static_cast<int64_t>(d) : d);
  uint64_t quotient = (magnitude + divisor / 2) / divisor;
  if (quotient > 0x7FFFFFFFull + (negative ? 1 : 0)) return -1;
  return negative ? static_cast<int32_t>(-static_cast<int64_t>(quotient))
                  : static_cast<int32_t>(quotient);
}
