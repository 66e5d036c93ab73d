// The splash window as it is designed, before a picture sizes it: its
// client area at 96 dots per inch. The window and the medium checker both
// take it from here.
#pragma once

namespace splash {

inline constexpr int kDesignClientWidth = 239;
inline constexpr int kDesignClientHeight = 118;

}  // namespace splash
