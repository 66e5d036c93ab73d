// Waiting while the program's windows stay serviced.
#pragma once

#include <cstdint>

// Waits at least ms milliseconds, pumping all pending window messages at
// least once and again whenever new ones arrive. Measures elapsed time, so
// a wrap of the tick counter does not make it hang.
void WaitTicks(uint32_t ms);
