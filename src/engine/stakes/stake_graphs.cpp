#include "stakes/stake_graphs.h"

#include "core/error.h"
#include "core/list_compare.h"
#include "core/records.h"

namespace vexa {
namespace {

double Money(int64_t amount) { return static_cast<double>(amount) / 10000.0; }

TGraphSeries Series(const char* title, int32_t color, bool markers, bool labels) {
  TGraphSeries s;
  s.Title = title;
  s.Color = color;
  s.Markers = markers;
  s.Labels = labels;
  return s;
}

}  // namespace

std::vector<TGraphSeries> StakesGraphDraws(const TStakesFile& stakes) {
  TProfitDrawArray perDraw;
  for (const TStakeRec& s : stakes.ReadStakes(0, stakes.Count()))
    if (s.DrawNumber >= 0) MergeProfit(perDraw, s.DrawNumber, s.Profit);
  if (perDraw.empty()) throw EVexaError(StakesGraphTooFewDraws);
  int64_t total = 0;
  for (const TProfitDraw& d : perDraw) total += d.Profit;
  const double mean = Money(total) / static_cast<double>(perDraw.size());
  std::vector<TGraphSeries> out{Series(DrawProfitSeriesTitle, 0x008000, true, true),
                                Series(MeanProfitSeriesTitle, 0xFF0000, false, false),
                                Series(RunningProfitSeriesTitle, 0x0000FF, true, true)};
  int64_t running = 0;
  for (const TProfitDraw& d : perDraw) {
    running += d.Profit;
    const double x = d.Draw;
    out[0].Points.push_back({x, Money(d.Profit)});
    out[1].Points.push_back({x, mean});
    out[2].Points.push_back({x, Money(running)});
  }
  return out;
}

std::vector<TGraphSeries> StakesGraphByOrigin(const TStakesFile& stakes, const std::vector<std::string>& names,
                                              bool profit) {
  if (names.empty()) throw EVexaError(StakesGraphTooFewDraws);
  const std::vector<TStakeRec> all = stakes.ReadStakes(0, stakes.Count());
  // Back from the end to the first record of the 100th distinct draw with checked stakes.
  size_t start = all.size();
  int draws = 0;
  int32_t last = -1;
  for (size_t i = all.size(); i-- > 0;) {
    const TStakeRec& s = all[i];
    if (IsSeparator(s) || s.Checked == 0) continue;
    if (s.DrawNumber != last) {
      if (draws == StakesGraphDrawsBack) break;
      ++draws;
      last = s.DrawNumber;
    }
    start = i;
  }
  if (draws < 2) throw EVexaError(StakesGraphTooFewDraws);
  std::vector<TGraphSeries> out;
  for (size_t i = start; i < all.size(); ++i) {
    const TStakeRec& s = all[i];
    if (IsSeparator(s) || s.Checked == 0) continue;
    const std::string origin = StakeOrigin(s);
    bool wanted = false;
    for (const std::string& n : names) wanted = wanted || CompareTextNoCase(n, origin) == 0;
    if (!wanted) continue;
    TGraphSeries* series = nullptr;
    for (TGraphSeries& g : out)
      if (CompareTextNoCase(g.Title, origin) == 0) series = &g;
    if (series == nullptr) {
      out.push_back(TGraphSeries{origin, -1, true, false, {}});
      series = &out.back();
    }
    series->Points.push_back({static_cast<double>(s.DrawNumber), profit ? Money(s.Profit) : Overlap(s)});
  }
  return out;
}

}  // namespace vexa
