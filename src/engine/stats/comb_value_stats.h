// Combination-value methods: which pairs, triples and quadruples of numbers
// came together in a draw, among all its numbers (KNM), among neighbouring
// positions (KNS) or at one fixed run of positions (KNP).
//
// A value is the tuple in position order, one number per key component
// (unused components 0); its text joins the numbers with ":" ("5:17").
// Positions are those of the draw as the statistic reads it, so (5, 17) and
// (17, 5) are different values. The tuples cannot be typed as a list of
// integers, nothing is pre-listed and a lone combination gives nothing
// (kind S: no full-set comparison).
//
// Matches cuts the combination, in its stored order, by the same rule.
// PrepareValues turns the selection into bit tables indexed by the tuple,
// so a filter run needs no search per call.
#pragma once

#include "stats/stat.h"

namespace vexa {

extern const TStatClass TstCombValMix2Class;   // KNM2
extern const TStatClass TstCombValMix3Class;   // KNM3
extern const TStatClass TstCombValMix4Class;   // KNM4
extern const TStatClass TstCombValSeq2Class;   // KNS2
extern const TStatClass TstCombValSeq3Class;   // KNS3
extern const TStatClass TstCombValSeq4Class;   // KNS4
extern const TStatClass TstCombValPos2Class;   // KNP21..KNP25
extern const TStatClass TstCombValPos3Class;   // KNP31..KNP34
extern const TStatClass TstCombValPos4Class;   // KNP41..KNP43
// Never registered: they report themselves unavailable.
extern const TStatClass TstCombValSort2Class;  // KNO2
extern const TStatClass TstCombValSort3Class;  // KNO3
extern const TStatClass TstCombValSort4Class;  // KNO4

}  // namespace vexa
