// Sum methods: the sum of the six numbers and its even and prime parts,
// three fixed central ranges of the sum, numbers that are the sum of two
// others, and how the sum moved from one draw to the next after draws
// that resemble the last one (SUMC, SUMV, SUMT, kind D).
//
// The transition methods read draw i - 1 straight from the archive; their
// Matches takes the combination as the draw after the reference draw, whose
// sum LoadDraw caches, so Matches stays const and thread-safe.
#pragma once

#include "core/game.h"
#include "stats/stat.h"

namespace vexa {

extern const TStatClass TstSumValuesClass;       // SUMS
extern const TStatClass TstSumRangesClass;       // SUM1..3
extern const TStatClass TstSumChangeClass;       // SUMC
extern const TStatClass TstSumChangeSomeClass;   // SUMV
extern const TStatClass TstSumTrendClass;        // SUMT
extern const TStatClass TstSumEvenValuesClass;   // SUME
extern const TStatClass TstSumPrimeValuesClass;  // SUMP
extern const TStatClass TstSum2To3Class;         // S2T3

// 1+2+...+6 and 45+44+...+40.
constexpr int MinSum = MainCount * (MainCount + 1) / 2;
constexpr int MaxSum = MainCount * MaxNumber - MainCount * (MainCount - 1) / 2;
// The tolerance of SUMV.
constexpr int SumStep = (MaxSum - MinSum) / 10;
static_assert(MinSum == 21 && MaxSum == 255 && SumStep == 23, "sum constants of the 6-from-45 game");

// An inclusive central range of the sum; Num/Den is the level of the sums
// distribution it stands for (shown in the caption).
struct TSumRange {
  int Low = 0;
  int High = -1;
  int Num = 0;
  int Den = 0;
};

constexpr int SumRangeCount = 3;
// Range 1..3 (93..183, 102..174, 110..166); an empty range otherwise.
TSumRange SumRangeOf(int param);

int SumOf(const TComb& nums);
// Sum of the even numbers, of the prime ones (0 when none).
int EvenSumOf(const TComb& nums);
int PrimeSumOf(const TComb& nums);
// Choices of a number and an unordered pair of two other positions whose
// numbers add up to it.
int TwoToThreeCount(const TComb& nums);

}  // namespace vexa
