// Characteristic-number (Ognev number) methods: the top of the pyramid of
// absolute differences of six numbers. HCO1 and HCO2 give it for every draw
// (two variants of the top step); HCO3 turns the reference draw's number
// into candidate numbers for the next draw and serves as a filter.
//
// Numbers are taken in the order given: a draw as the framework loads it
// (drawing order, or ascending when sorted), a combination as stored.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "stats/stat.h"

namespace vexa {

extern const TStatClass TstOgnev1Class;  // HCO1
extern const TStatClass TstOgnev2Class;  // HCO2
extern const TStatClass TstOgnev3Class;  // HCO3

// One or two bytes; two only in mode 2 when the top is 1: (1, a + b).
struct TOgnevValue {
  int Count = 1;
  std::array<uint8_t, 2> Bytes{};
  bool operator==(const TOgnevValue&) const = default;
};

// Rows of neighbour differences down to two values a, b; r = |b - a|.
// Mode 0: r. Mode 1: a + b when r < 2, else r. Mode 2: a + b when r = 0;
// then (1, a + b) when r = 1, else r.
// REQUIRES: at least two numbers (fewer give 0).
TOgnevValue OgnevNumber(std::span<const uint8_t> numbers, int mode);

}  // namespace vexa
