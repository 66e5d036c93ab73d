// Whether the platform draws this program's controls in a visual style
// (themes switched on and the program using version 6 of the common controls).
#pragma once

bool VisualStylesActive();
