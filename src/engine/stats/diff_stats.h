// Difference methods: the five differences between neighbouring positions
// of a draw, the largest of them, the spread between the smallest and the
// largest number, how the differences repeat, and runs of two to four
// consecutive differences.
//
// Positions follow the draw order, or ascending order when the draws are
// sorted; a combination keeps the order it is stored in.
#pragma once

#include <array>

#include "stats/stat.h"

namespace vexa {

extern const TStatClass TstDiffTotalClass;     // DIFA
extern const TStatClass TstDiffMaxClass;       // DIFM
extern const TStatClass TstMinMaxDiffsClass;   // DIFD
extern const TStatClass TstDiffSameClass;      // DIFO
extern const TStatClass TstDiffSameCntClass;   // DIFK
extern const TStatClass TstCombDiffSeq2Class;  // KDS2
extern const TStatClass TstCombDiffSeq3Class;  // KDS3
extern const TStatClass TstCombDiffSeq4Class;  // KDS4

constexpr int DiffCount = MainCount - 1;
using TNeighbourDiffs = std::array<int, DiffCount>;

// |a2 - a1| .. |a6 - a5| in position order.
TNeighbourDiffs NeighbourDiffs(const TComb& nums);

}  // namespace vexa
