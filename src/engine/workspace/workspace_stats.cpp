// The workspace's statistics view: recalculation of a method's list,
// choosing its values by their text, the graph, the information dialog and
// the full-set files built on request.
#include <algorithm>

#include "combs/filter.h"
#include "core/error.h"
#include "core/format.h"
#include "stats/stat_info.h"
#include "stats/stat_rows.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

struct TWindowBounds {
  int First = 0;
  int Last = -1;
};

TWindowBounds WindowOf(const TDrawsArchive& archive, int windowLength) {
  const int last = archive.Count() - 1 - archive.DrawsOffset();
  return {std::max(0, last - std::max(windowLength, 1) + 1), last};
}

}  // namespace

int TWorkspace::StatMethodIndex(const std::string& code) const {
  const int i = code.empty() ? -1 : Stats_.IndexOfCode(code);
  if (i < 0) throw EVexaError(Format("Метод расчета статистики \"%s\" не найден!", {code}));
  return i;
}

TStatRows TWorkspace::StatRecalculate(int methodIndex, int windowLength, bool prefetch) {
  if (methodIndex < 0 || methodIndex >= Stats_.Count())
    throw EVexaError(Format(NoMethodSelectedFormat, {StatKindListName}));
  if (Archive_.Empty()) throw EVexaError("Архив тиражей пуст!");
  TOperation op(*this, prefetch ? TChanges{ChangeCombs} : TChanges{0});
  TStatRowsParams params;
  params.WindowLength = windowLength > 0 ? windowLength : Window_.DrawsStatLen;
  params.DrawsOffset = Archive_.DrawsOffset();
  params.Sorted = SortedDraws();
  params.ShowTotalLine = Window_.ShowTotalLine;
  SetStatus(StatCalcStatus);
  const auto stat = Stats_.CreateStat(methodIndex);
  std::optional<TFullSet> fullSet;
  bool failed = false;
  if (prefetch && Stats_.IsFullSetComputable(methodIndex)) {
    // A missing file is counted over the full set, which passes the list through the undo copy.
    const TFullSetPlace place = FullSetPlace();
    if (FullSetFileExists(place.FileOf(Stats_.Items(methodIndex).Code()))) {
      fullSet = vexa::OpenFullSetFile(Stats_, methodIndex, place, true, Relay_, &failed);
    } else {
      TFullListScope full(Combs_);
      fullSet = vexa::OpenFullSetFile(Stats_, methodIndex, place, true, Relay_, &failed);
    }
  }
  TStatRows rows = RecalculateStat(*stat, Stats_.Config.Cdl, params, fullSet ? &*fullSet : nullptr);
  rows.FullSetFailed = failed;
  return rows;
}

TStatDrawArray TWorkspace::StatSelectValues(int methodIndex, const TStatRows& rows,
                                            const std::vector<std::string>& texts) const {
  const auto stat = Stats_.CreateStat(methodIndex);
  std::vector<bool> selected(rows.Rows.size(), false);
  for (const std::string& value : texts) {
    bool found = false;
    for (size_t r = 0; r < rows.Rows.size(); ++r) {
      if (rows.Rows[r].Texts[scValue] != value) continue;
      selected[r] = true;
      found = true;
    }
    // A typed value: a plain integer, or the start of the value's text, so
    // that a word that reads as nothing does not pick value 0.
    if (!found && stat->Class().AcceptsValueList) {
      const int32_t typed = stat->TextToValue(value);
      int32_t plain = 0;
      const bool isInteger = TryStrToInt(value, plain);
      for (size_t r = 0; r < rows.Rows.size(); ++r) {
        const TStatKey4& key = rows.Rows[r].Rec.Key;
        if (Key32(key, 1) != typed || Key32(key, 2) != 0) continue;
        if (!isInteger && rows.Rows[r].Texts[scValue].rfind(std::string(Trim(value)), 0) != 0) continue;
        selected[r] = true;
        found = true;
      }
    }
    if (!found)
      throw EVexaError(Format("Значение \"%s\" не найдено среди значений метода %s!", {value, stat->Class().Code}));
  }
  TStatDrawArray values;
  for (size_t r = 0; r < rows.Rows.size(); ++r)
    if (selected[r]) values.push_back(rows.Rows[r].Rec);
  return values;
}

std::vector<std::pair<int32_t, int64_t>> TWorkspace::StatGraph(int methodIndex, int windowLength) const {
  if (methodIndex < 0 || methodIndex >= Stats_.Count())
    throw EVexaError(Format(NoMethodSelectedFormat, {StatKindListName}));
  if (!Stats_.HasGraph(methodIndex))
    throw EVexaError(Format("У метода расчета статистики \"%s\" нет графика!", {Stats_.Items(methodIndex).Code()}));
  if (Archive_.Empty()) throw EVexaError("Архив тиражей пуст!");
  const TWindowBounds w = WindowOf(Archive_, windowLength > 0 ? windowLength : Window_.DrawsStatLen);
  const auto stat = Stats_.CreateStat(methodIndex);
  std::vector<std::pair<int32_t, int64_t>> points;
  points.reserve(static_cast<size_t>(w.Last - w.First + 1));
  for (int i = w.First; i <= w.Last; ++i)
    points.emplace_back(Archive_.Draws()[static_cast<size_t>(i)].Number, stat->GraphValueOfDraw(i, w.Last, SortedDraws()));
  return points;
}

TStatInfo TWorkspace::DrawsInfo(int drawNumber) const {
  const int index = Archive_.IndexOfDrawNumber(drawNumber);
  if (index < 0) throw EVexaError(Format("Тираж № %d в архиве не найден!", {drawNumber}));
  return DrawInfo(Stats_, index, SortedDraws());
}

TStatInfo TWorkspace::CombsInfo(const TComb& comb) const {
  std::array<bool, MaxNumber + 1> seen{};
  for (uint8_t n : comb) {
    if (n < 1 || n > MaxNumber || seen[n]) throw EVexaError(Format("Некорректная комбинация: \"%s\"!", {CombToText(comb)}));
    seen[n] = true;
  }
  return CombinationInfo(Stats_, comb, Archive_.DrawsOffset(), SortedDraws());
}

void TWorkspace::DrawsStatePrefetchsEnabled() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("PrefetchsEnabled", !Window_.PrefetchsEnabled, Window_.PrefetchsEnabled);
}

std::vector<TFullSetCreated> TWorkspace::FullSetBuild(const std::vector<int>& methods, bool force) {
  TOperation op(*this, ChangeCombs);
  const TFullSetPlace place = FullSetPlace();
  if (methods.empty()) return vexa::RefreshFullSetFiles(Stats_, place, true, force ? AllStatGroups : 0u, true, Relay_);
  std::vector<int> unique;
  for (int i : methods) {
    if (i < 0 || i >= Stats_.Count()) throw EVexaError(Format(NoMethodSelectedFormat, {StatKindListName}));
    if (!Stats_.IsFullSetComputable(i))
      throw EVexaError(Format("Метод расчета статистики \"%s\" не участвует в сравнении с полным набором комбинаций!",
                              {Stats_.Items(i).Code()}));
    if (std::find(unique.begin(), unique.end(), i) == unique.end()) unique.push_back(i);
  }
  std::vector<TFullSetCreated> made;
  for (int i : unique) {
    const auto file = place.FileOf(Stats_.Items(i).Code());
    if (!force && FullSetFileExists(file)) continue;
    const auto set = CreateFullSetFile(Stats_, i, place, Relay_);
    made.push_back(TFullSetCreated{i, file, !set.has_value(), set ? static_cast<int>(set->Records.size()) : 0});
  }
  return made;
}

}  // namespace vexa
