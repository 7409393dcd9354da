// The ratings file: records, every view column in every mode, the p value,
// sorting by each column, the CSV export text and the way back to a script.
#include "fuzz/fuzz_support.h"
#include "stakes/ratings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexa;
  if (size > 304 * 200) return 0;
  TRatings ratings;
  ratings.Assign(DecodeRatings(fuzz::Bytes(data, size)));
  for (const TRating& r : ratings.Items()) {
    for (int mode = 0; mode < RatingModes; ++mode) (void)RatingRow(r, mode);
    (void)RatingPValueText(r);
    std::string line;
    (void)RatingToScriptLine(r.Name, line);
  }
  for (int column = 0; column <= 13; ++column) ratings.SortRatings(column, column % 2 == 0);
  (void)RatingsCsv(ratings.Items());
  std::vector<int> rows;
  for (int i = 0; i < std::min(ratings.Count(), 5); ++i) rows.push_back(i);
  (void)RatingsGraphOverlap(ratings.Items(), rows);
  TStakeRec stake;
  stake.Checked = 1;
  stake.DrawNumber = 5;
  stake.Matched.Count = 3;
  stake.Profit = INT64_MAX;
  if (!ratings.Empty()) SetStakeOrigin(stake, ratings[0].Name);
  ratings.MergeRating(stake);
  ratings.MergeRating(stake);
  return 0;
}
