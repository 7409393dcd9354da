// Sequence and repeat methods.
//
// Sequences (group "seq", SEQL, SEQS, LENS) look inside one draw for runs of
// numbers that go up by exactly one: how long each run is, how many runs of
// two or more there are, how long the longest is.
//
// Repeats (group "rep", all kind D) look across draws for numbers that came
// again: from the previous draw, from two to four draws back, or shifted by
// +-1 or +-2 with wrap-around; the values (which numbers) or the count. The
// value lists are keyed on the reference draw, whose numbers are the
// candidates for the next draw. A draw before the first one reads as six
// zeros and repeats nothing; a zero is never shifted into a number.
//
// Matches of every method here works on sets of numbers as 64-bit masks;
// LoadDraw caches the masks the reference draw gives, PrepareValues turns
// the selection into a mask, so a filter run allocates nothing per call.
#pragma once

#include <cstdint>

#include "core/game.h"
#include "stats/stat.h"

namespace vexa {

extern const TStatClass TstSequenceLenClass;     // SEQL
extern const TStatClass TstSequenceCntClass;     // SEQS
extern const TStatClass TstSequenceLenMaxClass;  // LENS

extern const TStatClass TstRepValues2Class;       // RPV2
extern const TStatClass TstRepValues3Class;       // RPV3
extern const TStatClass TstRepValues2B3Class;     // PRL2
extern const TStatClass TstRepValues2over1Class;  // PRV2O1
extern const TStatClass TstRepValues2over2Class;  // PRV2O2
extern const TStatClass TstRepValues2over3Class;  // PRV2O3
extern const TStatClass TstRepValues2P1Class;     // PRV+1
extern const TStatClass TstRepValues2N1Class;     // PRV-1
extern const TStatClass TstRepValues2P2Class;     // PRV+2
extern const TStatClass TstRepValues2N2Class;     // PRV-2
extern const TStatClass TstRepCount2Class;        // RPC2
extern const TStatClass TstRepCount3Class;        // RPC3
extern const TStatClass TstRepCount2B3Class;      // PRB2
extern const TStatClass TstRepCount2over1Class;   // RPO1
extern const TStatClass TstRepCount2over2Class;   // PRC2O2
extern const TStatClass TstRepCount2over3Class;   // PRC2O3
extern const TStatClass TstRepCount2P1Class;      // PRC+1
extern const TStatClass TstRepCount2N1Class;      // PRC-1
extern const TStatClass TstRepCount2P2Class;      // PRC+2
extern const TStatClass TstRepCount2N2Class;      // PRC-2

// The runs of six numbers read in order. The statistic counts a pair as a
// step only when the second is the first plus one; the graphs of SEQS and
// LENS also take the first minus one (so 12 11 is a step there).
struct TRuns {
  int Count = 0;              // runs, a lone number being a run of 1
  int Lengths[MainCount]{};   // in reading order
  int Long = 0;               // runs of length >= 2
  int Max = 0;                // the longest run
};
TRuns RunsOf(const TComb& nums, bool eitherDirection = false);

// Bit n for each number n of 1..63 among `nums`; zeros and larger bytes are left out.
uint64_t NumbersMask(const TComb& nums);

}  // namespace vexa
