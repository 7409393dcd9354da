// The ratings journal: what keeps the ratings in step with the checked
// stakes when a check is cut short.
//
// A check writes each checked record into the stakes file at once but saves
// the ratings only at its end. Before a record is written, its index and a
// hash of the checked record go to "Korvane_6x45.lrt.pending"; a successful
// save of the ratings removes the journal. A journal found at start-up means
// the ratings file lacks the stakes it lists: MendRatings merges every one
// that the stakes file holds as journaled.
//
// File layout (little-endian): "VXRJ" and uint32 1, then the identity of the
// ratings file when the journal began (uint64 device, inode, size, mtime in
// ns; all zero when there was none), then 12-byte entries: int32 index,
// uint64 record hash. A save replaces the ratings file by a rename, so a
// file whose identity differs from the journal's already holds the stakes
// (the save finished, only the journal's removal did not) and nothing is
// merged twice. A torn last entry is ignored.
#pragma once

#include <cstdint>
#include <filesystem>

#include "core/user_interface.h"
#include "stakes/ratings.h"
#include "stakes/stakes_file.h"

namespace vexa {

inline constexpr const char* RatingsJournalExt = ".pending";
inline constexpr const char* RatingsMendedFormat =
    "Рейтинг не учитывал проверенные ставки прерванной проверки и дополнен (ставок: %d).";

std::filesystem::path RatingsJournalFile(const std::filesystem::path& ratingsFile);

// Appends entries for one check. Opens the journal lazily at the first
// entry, keeping an existing one (an earlier check whose ratings were never
// saved). Throws EVexaError with the system's error text.
class TRatingsJournal {
 public:
  // An empty path journals nothing.
  explicit TRatingsJournal(std::filesystem::path ratingsFile) : RatingsFile_(std::move(ratingsFile)) {}
  ~TRatingsJournal();
  TRatingsJournal(const TRatingsJournal&) = delete;
  TRatingsJournal& operator=(const TRatingsJournal&) = delete;

  // REQUIRES: called before the checked record is written at `index`.
  void Add(int index, const TStakeRec& checked);

 private:
  std::filesystem::path RatingsFile_;
  int Fd_ = -1;
};

// Removes the journal; called once the ratings file holds every merged stake.
void RemoveRatingsJournal(const std::filesystem::path& ratingsFile);

// Start-up, after LoadRatings: merges the journaled stakes the ratings file
// lacks, says so, and returns how many. The caller saves the ratings (which
// removes the journal). A damaged journal is reported and left for the save
// to remove. Throws nothing.
int MendRatings(const std::filesystem::path& ratingsFile, TStakesFile& stakes, TRatings& ratings,
                TUserInterface& ui);

}  // namespace vexa
