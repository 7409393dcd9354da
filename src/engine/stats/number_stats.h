// Number methods: which numbers and digits were drawn, how many are even,
// small or prime and in which pattern, the number at a position, and the
// supplementary numbers.
#pragma once

#include "stats/stat.h"

namespace vexa {

extern const TStatClass TstValuesClass;       // NUMS
extern const TStatClass TstDigitsClass;       // DIGS
extern const TStatClass TstEvenCountClass;    // EVEN
extern const TStatClass TstEvenValuesClass;   // EVNV
extern const TStatClass TstSmallCountClass;   // SMAL
extern const TStatClass TstSmallValuesClass;  // SMLV
extern const TStatClass TstPrimeCountClass;   // PRIM
extern const TStatClass TstPrimeValuesClass;  // PRMV
extern const TStatClass TstPosValClass;       // POS1..6
extern const TStatClass TstPosExtClass;       // POE1..2

// 1 counts as prime here: {1, 2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43}.
bool IsPrimeNumber(int n);
// The first half of the range: 1..22.
inline bool IsSmallNumber(int n) { return n <= 22; }

}  // namespace vexa
