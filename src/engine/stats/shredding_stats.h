// Shredding methods SHR1..SHR3: a user formula over the six numbers of a draw
// (n1..n6) and of the two draws before it (p1..p6, t1..t6), of which only the
// first few decimal digits of the fractional part are kept.
//
// The formula and its digit count come from the list's settings when the
// method is created; the formula is compiled once then (see formula.h), and
// where it offers a table the instance remembers each value it computes, so
// that the default formulas cost a few additions per combination. Matches and
// CalcCombination stay const and thread-safe (the table's slots are atomic
// and a slot only ever receives its one value). Values need up to five
// digits and are stored as a 32-bit value over Key[0..1], so no two of them
// share a row.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/game.h"
#include "stats/formula.h"
#include "stats/stat.h"

namespace vexa {

extern const TStatClass TstShreddingStatClass;  // SHR1..3

inline constexpr int ShreddingMinDigits = 1;
inline constexpr int ShreddingMaxDigits = 5;

// Trunc(Frac(|f|) * 10^digits): the first `digits` digits after the point.
int32_t ShredValue(long double f, int digits);

// The value of the formula for the numbers n, p and t; 0 when it cannot be
// evaluated.
int32_t Shred(const TComb& n, const TComb& p, const TComb& t, int digits, const TFormula& formula);
int32_t Shred(const TComb& n, const TComb& p, const TComb& t, int digits, std::string_view formula);

}  // namespace vexa
