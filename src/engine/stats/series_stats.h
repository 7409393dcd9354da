// Serial and period methods: they follow one item — a number, its channel
// or its segment — through the draws of the window, oldest first.
//
// Series (group "ser", kind D): runs of consecutive draws in which the item
// came (groups: GRPV, GRCV, GRSV) or did not come (pauses: GRPP, GRCP,
// GRSP). A value is (item, run length) in Key[0], Key[1]. Only items of the
// reference draw get rows: their finished runs, and for groups the run that
// reaches the reference draw. The running state lives in the caller's work
// area, zeroed once per run; a run that began before the window counts from
// its first draw.
//
// Periods (group "per", kind P: PRDV, PRDC, PRDG): the difference of draw
// numbers between two consecutive occurrences of the item, (item, period).
// The draw each item was last seen in lives in the caller's last-seen table.
//
// Neither family pre-lists values or has values for a lone combination.
// Matches of both reads a table of number bytes that LoadDraw and
// PrepareValues build, so a filter allocates nothing per combination.
//
// Threads: as every method; the tables are read-only once prepared.
#pragma once

#include <cstdint>

#include "stats/stat.h"

namespace vexa {

extern const TStatClass TstNumGroupsClass;   // GRPV
extern const TStatClass TstNumPausesClass;   // GRPP
extern const TStatClass TstChnGroupsClass;   // GRCV
extern const TStatClass TstChnPausesClass;   // GRCP
extern const TStatClass TstSgmGroupsClass;   // GRSV
extern const TStatClass TstSgmPausesClass;   // GRSP
extern const TStatClass TstNumPeriodsClass;  // PRDV
extern const TStatClass TstChnPeriodsClass;  // PRDC
extern const TStatClass TstSgmPeriodsClass;  // PRDG

// One entry of the series work area: 45 entries of 12 bytes, three
// little-endian int32 each; item i uses entry i - 1. Segment 0, the one item
// outside 1..45, uses entry 45 - 1, which no segment (0..9) can claim.
struct TSeriesEntry {
  int32_t RunLength = 0;  // length of the running series; 0: none
  int32_t RunDraw = 0;    // Number of its newest draw
  int32_t RunAge = 0;     // Age of that draw
  bool operator==(const TSeriesEntry&) const = default;
};

constexpr int SeriesEntryCount = 45;
constexpr int SeriesEntrySize = 12;
static_assert(SeriesEntryCount * SeriesEntrySize == static_cast<int>(sizeof(TStatWork)), "work area layout");

// REQUIRES: 0 <= slot < SeriesEntryCount.
TSeriesEntry ReadSeriesEntry(const TStatWork& work, int slot);
void WriteSeriesEntry(TStatWork& work, int slot, const TSeriesEntry& entry);

}  // namespace vexa
