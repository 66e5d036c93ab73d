// Colour values of the window layouts: either red, green and blue (red in the
// low byte) or, with the high bit set, a reference to a system colour by its
// index, resolved to red, green and blue when it is used.
#pragma once

#include <cstdint>

using TColor = uint32_t;

inline constexpr TColor kSystemColorFlag = 0x80000000u;

inline constexpr TColor SystemColor(int index) {
  return kSystemColorFlag | static_cast<TColor>(index);
}

// System colour indices, as the platform numbers them.
inline constexpr int kColorWindowText = 8;
inline constexpr int kColorBtnFace = 15;
inline constexpr int kColorBtnShadow = 16;
inline constexpr int kColorBtnHighlight = 20;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clWindowText = SystemColor(kColorWindowText);
inline constexpr TColor clBtnFace = SystemColor(kColorBtnFace);
inline constexpr TColor clBtnShadow = SystemColor(kColorBtnShadow);
inline constexpr TColor clBtnHighlight = SystemColor(kColorBtnHighlight);

// Gives the current red-green-blue value (red in the low byte) of a system
// colour index.
using SystemColorResolver = uint32_t (*)(int index);

// The platform's system colours (on the native build: the classic defaults).
uint32_t PlatformSystemColor(int index);

// A colour as red, green and blue: system colours resolved through resolver.
uint32_t ColorToRGB(TColor color, SystemColorResolver resolver = PlatformSystemColor);

struct TRGB {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
  bool operator==(const TRGB& o) const { return red == o.red && green == o.green && blue == o.blue; }
  bool operator!=(const TRGB& o) const { return !(*this == o); }
};

inline TRGB SplitRGB(uint32_t rgb) {
  return TRGB{static_cast<uint8_t>(rgb & 0xFF), static_cast<uint8_t>((rgb >> 8) & 0xFF),
              static_cast<uint8_t>((rgb >> 16) & 0xFF)};
}
inline uint32_t JoinRGB(const TRGB& c) {
  return static_cast<uint32_t>(c.red) | (static_cast<uint32_t>(c.green) << 8) |
         (static_cast<uint32_t>(c.blue) << 16);
}
