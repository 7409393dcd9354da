// Segment methods: the user paints the number matrix into segments (a
// digit 0..9 per number, setting MatrixSegments) and these methods describe
// a draw by them as the channel methods do by channels — segments occupied,
// numbers per segment, how many segments, segment tuples, the count in one
// segment. Every instance copies the segment table when it is created.
#pragma once

#include "stats/stat.h"

namespace vexa {

extern const TStatClass TstSegmentsClass;      // SGMS
extern const TStatClass TstSegmValuesClass;    // SGMV
extern const TStatClass TstSegmCountClass;     // SGMC
extern const TStatClass TstCombSegmMix2Class;  // KGM2
extern const TStatClass TstCombSegmMix3Class;  // KGM3
extern const TStatClass TstCombSegmMix4Class;  // KGM4
extern const TStatClass TstCombSegmSeq2Class;  // KGS2
extern const TStatClass TstCombSegmSeq3Class;  // KGS3
extern const TStatClass TstCombSegmSeq4Class;  // KGS4
extern const TStatClass TstSgmValCntClass;     // SGM<smallest segment>..SGM<largest>

}  // namespace vexa
