#include "stats/stat_rows.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "core/format.h"
#include "stats/stat_list.h"

namespace vexa {

const std::array<const char*, StatColumnCount> StatColumnCaptions = {
    "Значение",    "Количество", "Кол-во в %", "Норма",    "Отклонение", "Откл-ие в %", "Глубина",
    "Глубина в %", "Вес",        "Посл. тираж", "Период min", "Период", "Период max", "Ожд. ПРД",
    "Ожд. СТФ",    "Ожд. КРН",   "Факт",       "+/- ПРД",  "+/- СТФ",    "+/- КРН",
};

namespace {

__extension__ typedef __int128 TWide;

// Both counts of a full-set record and the window's hits reach 2^31, so
// their product needs more than 64 bits.
TWide NearestWide(TWide num, TWide den) {
  TWide q = num / den;
  TWide r = num % den;
  if (r < 0) {
    q -= 1;
    r += den;
  }
  const TWide up = den - r;  // r + up = den, and neither overflows
  if (r > up || (r == up && q % 2 != 0)) ++q;
  return q;
}

// The factor of the full-set comparison as num / den; false when the file
// gives none.
bool ScaleOf(const TStatTotals& totals, const TFullSet& set, TWide& num, TWide& den) {
  if (set.MaxCount <= 0) return false;
  if (set.MaxCount == set.MinCount) {
    num = static_cast<TWide>(totals.MinHits) + totals.MaxHits;
    den = static_cast<TWide>(2) * set.MaxCount;
  } else {
    num = totals.MaxHits;
    den = set.MaxCount;
  }
  return true;
}

int32_t ClampToInt32(TWide v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

uint64_t KeyOf(const TStatDraw& rec) { return PackKey(rec.Key); }

// "Факт" of every row: the first draw after the value's last occurrence in
// the window that has the value, as FindNextOccurrence finds it. For the
// methods whose values of a draw depend on that draw alone, the values of
// each later draw are computed once and shared by all rows.
class TNextOccurrences {
 public:
  TNextOccurrences(TCustomStat& stat, int last, bool sorted)
      : Stat_(stat), Last_(last), Sorted_(sorted), Lo_(static_cast<int>(stat.Draws().size())) {
    const TStatClass& cls = stat.Class();
    // The series and period families carry state from draw to draw.
    Stateful_ = cls.Group == 8 || cls.Group == 9 || (cls.Kind & skPeriod) != 0;
  }

  int Find(const TStatDraw& rec) {
    const int from = IndexOfOccurrence(rec) + 1;
    if (Stateful_) return Stat_.FindNextOccurrence(rec, from, Last_, Sorted_);
    Extend(from);
    const auto it = Seen_.find(KeyOf(rec));
    if (it == Seen_.end()) return -1;
    // Indices descending: the last one not below `from` is the first draw found.
    const auto& hits = it->second;
    const auto end = std::partition_point(hits.begin(), hits.end(),
                                          [&](const std::pair<int, int>& h) { return h.first >= from; });
    return end == hits.begin() ? -1 : std::prev(end)->second;
  }

 private:
  // The archive index of the draw numbered rec.Draw: the one Age points at
  // when its number agrees, else the newest draw with that number.
  int IndexOfOccurrence(const TStatDraw& rec) const {
    const TDrawsArray& draws = Stat_.Draws();
    const int byAge = Last_ - rec.Age + 1;
    if (byAge >= 0 && byAge < static_cast<int>(draws.size()) && draws[static_cast<size_t>(byAge)].Number == rec.Draw)
      return byAge;
    for (int i = static_cast<int>(draws.size()) - 1; i >= 0; --i)
      if (draws[static_cast<size_t>(i)].Number == rec.Draw) return i;
    return Last_;
  }

  void Extend(int from) {
    from = std::max(from, 0);
    TStatWork work{};
    TStatDrawArray values;
    TLastValueArray lastSeen;
    for (int i = Lo_ - 1; i >= from; --i) {
      values.clear();
      lastSeen.clear();
      Stat_.CalcDraw(i, Last_, Sorted_, values, work, lastSeen);
      for (const TStatDraw& v : values) Seen_[KeyOf(v)].emplace_back(i, v.Draw);
    }
    Lo_ = std::min(Lo_, from);
  }

  TCustomStat& Stat_;
  int Last_;
  bool Sorted_;
  bool Stateful_ = false;
  int Lo_;  // draws Lo_ .. newest are in Seen_
  std::unordered_map<uint64_t, std::vector<std::pair<int, int>>> Seen_;  // key -> (index, draw), index descending
};

std::string Int(int64_t v) { return std::to_string(v); }

void BuildChart(TCustomStat& stat, const TStatDrawArray& list, const TFullSet* fullSet, bool comparison,
                const TStatTotals& totals, bool showTotalLine, TStatChart& chart) {
  if (list.size() <= 1) return;
  TWide num = 0;
  TWide den = 1;
  if (comparison && fullSet != nullptr && ScaleOf(totals, *fullSet, num, den)) {
    const double factor = static_cast<double>(num) / static_cast<double>(den);
    std::unordered_map<uint64_t, size_t> index;
    for (size_t k = 0; k < list.size(); ++k) index.emplace(KeyOf(list[k]), k);
    double x = 1;
    for (const TFullSetRecord& r : fullSet->Records) {
      TStatDraw rec;
      rec.Key = r.Key;
      const auto it = index.find(PackKey(r.Key));
      const std::string label = stat.ValueToText(it != index.end() ? list[it->second] : rec);
      if (showTotalLine) chart.Total.push_back({x, r.Count * factor, label});
      if (it != index.end()) chart.Actual.push_back({x, static_cast<double>(list[it->second].Hits), label});
      x += 1;
    }
    return;
  }
  TStatDrawArray byKey = list;
  SortStatDraw(byKey);
  for (size_t k = 0; k < byKey.size(); ++k)
    chart.Actual.push_back({static_cast<double>(k + 1), static_cast<double>(byKey[k].Hits), stat.ValueToText(byKey[k])});
}

}  // namespace

int64_t NearestRatio(int64_t num, int64_t den) { return static_cast<int64_t>(NearestWide(num, den)); }

bool ApplyFullSet(TStatDrawArray& list, const TStatTotals& totals, const TFullSet& fullSet) {
  TWide num = 0;
  TWide den = 1;
  if (!ScaleOf(totals, fullSet, num, den)) return false;
  std::unordered_map<uint64_t, int32_t> counts;
  counts.reserve(fullSet.Records.size());
  for (const TFullSetRecord& r : fullSet.Records) counts.emplace(PackKey(r.Key), r.Count);
  for (TStatDraw& e : list) {
    const auto it = counts.find(KeyOf(e));
    if (it != counts.end()) e.Expected = ClampToInt32(NearestWide(static_cast<TWide>(it->second) * num, den));
  }
  return true;
}

TStatRowTexts StatRowTexts(const std::string& valueText, const TStatDraw& rec, const TStatRowContext& ctx,
                           int actual) {
  TStatRowTexts t;
  t.fill("-");
  const TStatTotals& totals = ctx.Totals;
  t[scValue] = valueText;
  t[scHits] = Int(rec.Hits);
  if (totals.SumHits != 0)
    t[scHitsPercent] = Format("%.5f", {static_cast<double>(rec.Hits) * 100 / static_cast<double>(totals.SumHits)});
  if (ctx.Comparison) {
    const int64_t deviation = static_cast<int64_t>(rec.Hits) - rec.Expected;
    t[scExpected] = Int(rec.Expected);
    t[scDeviation] = Int(deviation);
    const double percent = rec.Expected != 0 ? static_cast<double>(deviation) * 100 / rec.Expected
                                             : (rec.Hits > 0 ? 100.0 : 0.0);
    t[scDeviationPercent] = Format("%.5f", {percent});
  }
  // A value that never occurred in the window has no depth, draw or periods.
  if (rec.Age == 0) return t;

  t[scAge] = Int(rec.Age);
  t[scAgePercent] = Format("%.2f", {totals.MaxAge > 0 ? static_cast<double>(rec.Age) * 100 / totals.MaxAge : 0.0});
  t[scWeight] = Format("%.2f", {CdlScore(ctx.Cdl, ctx.Comparison, rec.Hits, totals.SumHits, rec.Expected, rec.Age,
                                         totals.MaxAge)});
  t[scLastDraw] = Int(rec.Draw);
  const int64_t hits = rec.Hits;
  const int64_t draw = rec.Draw;
  if (hits >= 2) {
    t[scMinGap] = Int(rec.MinGap);
    t[scPeriod] = Format("%.4f", {static_cast<double>(ctx.Window) / static_cast<double>(hits)});
    t[scMaxGap] = Int(rec.MaxGap);
    t[scNextByPeriod] = Int(NearestRatio(ctx.Window + draw * hits, hits));
  }
  if (hits >= 1) {
    t[scNextStf] = Int(NearestRatio((hits + 1) * draw, hits));
    t[scNextKrn] = Int(NearestRatio((hits + 2) * (draw + 1), hits + 1));
  }
  if (actual != -1) {
    t[scActual] = Int(actual);
    t[scDiffPeriod] = DiffText(t[scNextByPeriod], actual);
    t[scDiffStf] = DiffText(t[scNextStf], actual);
    t[scDiffKrn] = DiffText(t[scNextKrn], actual);
  }
  return t;
}

TStatRows RecalculateStat(TCustomStat& stat, const TCdl& cdl, const TStatRowsParams& params,
                          const TFullSet* fullSet) {
  TStatRows out;
  const TDrawsArray& draws = stat.Draws();
  if (draws.empty()) return out;
  const int newest = static_cast<int>(draws.size()) - 1;
  out.Last = newest - params.DrawsOffset;
  out.First = std::max(out.Last - std::max(params.WindowLength, 1) + 1, 0);
  out.Window = std::max(out.Last - out.First + 1, 0);

  TStatDrawArray list;
  if (out.Last >= out.First) {
    const TStatDrawMergeIndex index(list);
    stat.ListAllValues(out.Last, list);
    TStatWork work{};
    TLastValueArray lastSeen;
    for (int i = out.First; i <= out.Last; ++i) stat.CalcDraw(i, out.Last, params.Sorted, list, work, lastSeen);
  }
  out.Totals = StatDrawTotals(list);
  out.Comparison = fullSet != nullptr && ApplyFullSet(list, out.Totals, *fullSet);

  const TStatRowContext ctx{out.Window, out.Totals, out.Comparison, cdl};
  TNextOccurrences next(stat, out.Last, params.Sorted);
  out.Rows.reserve(list.size());
  for (const TStatDraw& e : list) {
    const int actual = e.Age == 0 ? -1 : next.Find(e);
    out.Rows.push_back(TStatRow{e, StatRowTexts(stat.ValueToText(e), e, ctx, actual)});
  }
  BuildChart(stat, list, fullSet, out.Comparison, out.Totals, params.ShowTotalLine, out.Chart);
  return out;
}

TStatRows RecalculateStat(const TStatList& list, int methodIndex, const TStatRowsParams& params,
                          const TFullSetPlace& place, bool prefetchsEnabled, TUserInterface& ui) {
  if (list.Draws().empty()) return TStatRows{};
  ui.SetStatus(StatCalcStatus);
  const auto stat = list.CreateStat(methodIndex);
  bool failed = false;
  const std::optional<TFullSet> fullSet = OpenFullSetFile(list, methodIndex, place, prefetchsEnabled, ui, &failed);
  TStatRows rows = RecalculateStat(*stat, list.Config.Cdl, params, fullSet ? &*fullSet : nullptr);
  rows.FullSetFailed = failed;
  return rows;
}

TStatValues StatValuesOf(const std::vector<TStatRow>& rows, int row) {
  TStatValues v;
  if (row < 0 || row >= static_cast<int>(rows.size())) return v;
  const TStatRowTexts& t = rows[static_cast<size_t>(row)].Texts;
  v.Value = t[scValue];
  v.Count = t[scHits];
  v.CountPercent = t[scHitsPercent];
  v.Deviation = t[scDeviation];
  v.DeviationPercent = t[scDeviationPercent];
  v.Depth = t[scAge];
  v.DepthPercent = t[scAgePercent];
  v.Weight = t[scWeight];
  v.PeriodMin = t[scMinGap];
  v.Period = t[scPeriod];
  v.PeriodMax = t[scMaxGap];
  return v;
}

}  // namespace vexa
