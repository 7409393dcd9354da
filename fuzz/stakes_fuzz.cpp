// The stakes file as start-up loads it, then the grid, a check against a
// small archive (with its ratings) and a delete by condition.
#include "core/error.h"
#include "core/settings.h"
#include "core/user_interface.h"
#include "fuzz/fuzz_support.h"
#include "stakes/stakes_check.h"
#include "stakes/stakes_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  // At most a few thousand records: the file is read in chunks anyway.
  if (size > 312 * 2000) return 0;
  const auto path = fuzz::WriteScratch("Korvane_6x45.lsk", fuzz::Bytes(data, size));
  TSilentUserInterface ui;
  TStakesFile file(path);
  try {
    file.LoadStakes(ui);
    for (const TStakeRec& s : file.ReadStakes(0, file.Count())) {
      (void)StakeGridCells(s);
      (void)StakeRowColor(s);
      (void)StakeLogText(s);
    }
    TDrawsArchive archive;
    archive.SetDraws(fuzz::SomeDraws());
    TConfigData config;
    config.Cost = INT64_MAX / 3;
    config.Profits = {{3, INT64_MAX}, {6, INT64_MIN}};
    TRatings ratings;
    (void)CheckStakes(file, archive, config, ratings, TStakeLogOptions{}, ui);
    for (const TRating& r : ratings.Items()) (void)RatingRow(r, 1);
    if (file.Count() > 0) {
      (void)file.ReadStake(-1, true);
      (void)file.StakeExists(file.ReadStake(0).DrawNumber, file.ReadStake(0).Numbers);
      (void)DeleteStakesWhere(file, TStakeCondition::NotLess, 3, ui);
    }
  } catch (const EVexaError&) {
  }
  return 0;
}
