// Colours of the analysis views as plain values: the window paints them,
// the command line names them, the tests compare them.
#pragma once

#include <cstdint>

namespace vexa {

struct TRgb {
  uint8_t R = 0;
  uint8_t G = 0;
  uint8_t B = 0;
  bool operator==(const TRgb&) const = default;
};

inline constexpr TRgb RgbYellow{255, 255, 0};
inline constexpr TRgb RgbLime{0, 255, 0};
inline constexpr TRgb RgbAqua{0, 255, 255};
inline constexpr TRgb RgbWhite{255, 255, 255};

// A window-system colour value (0x00BBGGRR), as NumColor gives it.
constexpr TRgb RgbOfBgr(uint32_t bgr) {
  return {static_cast<uint8_t>(bgr & 0xFF), static_cast<uint8_t>((bgr >> 8) & 0xFF),
          static_cast<uint8_t>((bgr >> 16) & 0xFF)};
}

}  // namespace vexa
