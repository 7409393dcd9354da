// The script runner's filters: the line's list kept as bits of the full
// set, and the filter parts applied to the list.
#include <algorithm>
#include <new>

#include "combs/filter.h"
#include "core/error.h"
#include "core/format.h"
#include "core/list_compare.h"
#include "scripts/bit_list.h"
#include "scripts/script_runner.h"
#include "scripts/script_runner_bits.h"

namespace vexa {
namespace {

// Rows in the order of the sortable list: the column's texts as numbers
// where both read as numbers, ties settled by the value column.
void SortRows(std::vector<TStatRow>& rows, int column, bool descending) {
  if (column < 0) return;
  std::stable_sort(rows.begin(), rows.end(), [&](const TStatRow& a, const TStatRow& b) {
    int r = 0;
    if (column > 0) r = CompareListTexts(a.Texts[static_cast<size_t>(column)], b.Texts[static_cast<size_t>(column)]);
    if (r == 0) r = CompareListTexts(a.Texts[scValue], b.Texts[scValue]);
    return descending ? r > 0 : r < 0;
  });
}

}  // namespace

// ---- The line's list as bits ------------------------------------------------------------


bool TScriptRunner::UseBits() const { return Host_.SpeedUps && Host_.Stats.Generate.Mode == GenerateAll; }

int TScriptRunner::ListCount() const { return Bits_->Active ? Bits_->List.Count() : Host_.Combs.Count(); }

TComb TScriptRunner::ListAt(int i) const {
  return Bits_->Active ? (*Bits_->All)[Bits_->List.Select(i)] : Host_.Combs[i];
}

// What Generate and the exclusion buffer make of the combinations list, in bits.
void TScriptRunner::StartBits(const TScriptOptions& options) {
  TBits& b = *Bits_;
  if (!b.All) b.All = std::make_unique<TFullCombs>();
  Host_.Ui.SetStatus(GeneratingStatus);
  Host_.Combs.ClearLog();
  Host_.Combs.DiscardUndo();
  b.List.SetAll();
  b.Active = true;
  b.Synced = false;
  if (Stopped()) return;
  if (options.StartCombsType != sctExcl || options.DrawsExclude <= 0) return;
  const int offset = Host_.Archive.DrawsOffset();
  const int n = options.DrawsExclude;
  if (b.ExclOffset == offset && b.ExclN == n) {
    b.List = b.Excl;
  } else {
    b.Undo = b.List;
    RemoveDrawnBits(n);
    Host_.Combs.LogOperation(true, RemoveDrawnLogName, std::to_string(n), b.List.Count());
    b.Excl = b.List;
    b.ExclOffset = offset;
    b.ExclN = n;
  }
}

// As TCombsList::RemoveDrawn: a combination goes when it shares all six
// numbers with one of the n newest draws of the window.
void TScriptRunner::RemoveDrawnBits(int n) {
  TBits& b = *Bits_;
  const TDrawsArray& draws = Host_.Archive.Draws();
  const int last = static_cast<int>(draws.size()) - 1 - Host_.Archive.DrawsOffset();
  for (int i = std::max(last - n + 1, 0); n > 0 && i <= last; ++i) {
    const TDraw& draw = draws[static_cast<size_t>(i)];
    TComb nums = draw.Nums;
    SortComb(nums);
    const int64_t position = TFullCombs::PositionOf(nums);
    if (position >= 0) {
      b.List.Reset(static_cast<size_t>(position));
      continue;
    }
    // Repeated or odd numbers: counted pair by pair as the list does.
    std::vector<size_t> drawn;
    b.List.ForEach([&](size_t p) {
      if (CommonCount(draw, (*b.All)[p]) == MainCount) drawn.push_back(p);
      return true;
    });
    for (size_t p : drawn) b.List.Reset(p);
  }
}

void TScriptRunner::FilterBitsNow(TCustomStat& stat, int methodIndex, const TStatDrawArray& rows, int lastIndex,
                                  bool del) {
  TBits& b = *Bits_;
  const bool sorted = Host_.Settings.SortedDraws;
  stat.LoadDraw(-1, lastIndex, sorted);
  stat.PrepareValues(rows);
  const TBitFilter filter{&stat, &rows, lastIndex, sorted, del, Host_.Combs.WalkOptions().Threads};
  const std::string key = TMatchCache::KeyOf(methodIndex, rows, MatchesIgnoreLastIndex(stat.Class()) ? -1 : lastIndex,
                                             sorted, del);
  NarrowBits(*b.All, b.List.MutableWords(), b.Cache.Get(key), filter);
  b.List.Recount();
}

void TScriptRunner::RestoreUndoList() {
  if (!Bits_->Active) {
    Host_.Combs.RestoreUndo(true);
    return;
  }
  Host_.Ui.SetStatus(UndoRestoringStatus);
  Bits_->List = Bits_->Undo;
}

void TScriptRunner::DropExclBuffers() {
  Host_.Combs.DropExclBuffer();
  Bits_->ExclOffset = -1;
  Bits_->ExclN = -1;
}

// The combinations list gets what the bits hold.
void TScriptRunner::SyncList() {
  TBits& b = *Bits_;
  if (!b.Active || b.Synced) return;
  b.Scratch.clear();
  b.Scratch.reserve(static_cast<size_t>(b.List.Count()));
  b.List.ForEach([&](size_t p) {
    b.Scratch.push_back((*b.All)[p]);
    return true;
  });
  Host_.Combs.SetCombs(b.Scratch);
  b.Synced = true;
}

// ---- Filters ---------------------------------------------------------------------------

void TScriptRunner::ApplyParts(const TFilterSet& set) {
  for (const TFilterPart& part : set) {
    if (!part.Used) continue;
    // One combination or none left: nothing to narrow any more.
    if (ListCount() <= 1) return;
    ApplyPart(part);
    if (Stopped()) return;
  }
}

void TScriptRunner::ApplyPart(const TFilterPart& part) {
  TStatList& stats = Host_.Stats;
  if (part.Stat == nullptr)
    throw EVexaError(Format(UnknownMethodFormat, {ExtractWord(part.StatText, 1, ":"), FormatFilterPart(part)}));
  const int methodIndex = StatIndexOf(stats, part.Stat);
  if (methodIndex < 0 || !stats.IsAvailable(methodIndex) || !stats.IsFavourite(methodIndex))
    throw EVexaError(Format(MethodNotFoundFormat, {part.Stat->Code(), part.Stat->FullName()}));
  Host_.StatView.MethodIndex = methodIndex;
  const std::string sortError = CheckSortColumn(part.SortOrder, StatColumnCount);
  if (!sortError.empty()) throw EVexaError(sortError);
  Host_.StatView.SortColumn = part.SortOrder;
  Host_.StatView.SortDescending = true;
  Host_.Settings.DrawsStatLen = part.DrawsLen;
  if (LogOn())
    Log_.Write(Format("Анализ тиражей и расчет статистики \"%s\" для выборки в %d тиражей...",
                      {stats.ListCaption(methodIndex, true), part.DrawsLen}));

  stats.UseCdl(part.CDLOverride, CdlOf(part));
  const int offset = Host_.Archive.DrawsOffset();
  Host_.Ui.SetStatus(StatCalcStatus);
  std::vector<TStatRow> rows;
  {
    const std::unique_ptr<TCustomStat> stat = stats.CreateStat(methodIndex);
    const std::optional<TFullSet> fullSet =
        OpenFullSetFile(stats, methodIndex, Host_.FullSetPlace, Host_.Settings.PrefetchsEnabled, Host_.Ui);
    TStatRowsParams params;
    params.WindowLength = part.DrawsLen;
    params.DrawsOffset = offset;
    params.Sorted = Host_.Settings.SortedDraws;
    params.ShowTotalLine = Host_.Settings.ShowTotalLine;
    rows = RecalculateStat(*stat, stats.Config.Cdl, params, fullSet ? &*fullSet : nullptr).Rows;
  }
  SortRows(rows, part.SortOrder, true);
  if (Stopped()) return;

  if (LogOn())
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) Log_.Write(StatRowLogText(StatValuesOf(rows, i)));
  if (Stopped()) return;

  // The filter asks a fresh instance, as a filter by hand does.
  const std::unique_ptr<TCustomStat> filterStat = stats.CreateStat(methodIndex);
  const int count = static_cast<int>(rows.size());
  auto rowAt = [&](int k) { return part.BottomUp ? count - 1 - k : k; };
  auto stopHit = [&](const TStatValues& row, int steps) {
    switch (part.StopMode) {
      case smSV: {
        const int32_t hits = StrToIntDef(row.Count, 0);
        return part.BottomUp ? hits >= part.StopValue : hits <= part.StopValue;
      }
      case smSP: {
        const double percent = ColumnNumberDef(row.CountPercent, 0);
        return part.BottomUp ? percent >= part.StopValue : percent <= part.StopValue;
      }
      case smST: return steps >= part.StopValue;
      default: return false;
    }
  };
  auto logStep = [&](int steps, const TStatValues& row) {
    if (LogOn()) Log_.Write(Format("Шаг %.3d. Выделение строки: ", {steps + 1}) + StatRowLogText(row));
  };
  int steps = 0;

  if (part.MultiSelect) {
    TStatDrawArray selected;
    for (int k = 0; k < count; ++k) {
      if (Stopped()) return;
      const int i = rowAt(k);
      const TStatValues row = StatValuesOf(rows, i);
      if (stopHit(row, steps)) break;
      if (RowMeetsCondition(row, filterStat->ParseValue(row.Value), part.LevelMode, part.LevelArg)) {
        selected.push_back(rows[static_cast<size_t>(i)].Rec);
        logStep(steps, row);
      }
      ++steps;
    }
    if (Stopped()) return;
    ApplyRows(*filterStat, methodIndex, selected, part.KeepSelected);
    // An emptied list always comes back in this mode.
    if (ListCount() == 0) {
      if (LogOn()) Log_.Write("{UNDO} Откат изменений...");
      RestoreUndoList();
    }
    return;
  }

  for (int k = 0; k < count; ++k) {
    if (Stopped()) break;
    if (part.StopMode == smSC && part.StopValue >= ListCount()) break;
    const int i = rowAt(k);
    const TStatValues row = StatValuesOf(rows, i);
    if (stopHit(row, steps)) break;
    if (Stopped()) break;
    if (!RowMeetsCondition(row, filterStat->ParseValue(row.Value), part.LevelMode, part.LevelArg)) continue;
    logStep(steps, row);
    ApplyRows(*filterStat, methodIndex, TStatDrawArray{rows[static_cast<size_t>(i)].Rec}, part.KeepSelected);
    if (ListCount() == 0) {
      if (LogOn()) Log_.Write("{UNDO} Откат изменений...");
      RestoreUndoList();
      if (part.StopMode == smSZ) break;
    } else {
      ++steps;
    }
  }
}

void TScriptRunner::ApplyRows(TCustomStat& filterStat, int methodIndex, const TStatDrawArray& rows, bool keep) {
  if (LogOn()) Log_.Write(keep ? "Оставляем выделенные значения..." : "Удаляем выделенные значения...");
  std::string description;
  for (const TStatDraw& row : rows) AppendDescription(description, filterStat.ValueToText(row));
  const bool del = !keep;
  const std::string name = Host_.Stats.ListCaption(methodIndex, true);
  const int lastIndex = FilterLastIndex(Host_.Archive.Count(), Host_.Archive.DrawsOffset());
  TCombsList& combs = Host_.Combs;
  if (Bits_->Active) {
    TBits& b = *Bits_;
    Host_.Ui.SetStatus(UndoSavingStatus);
    b.Undo = b.List;
    b.Synced = false;
    Host_.Ui.SetStatus(FilteringStatus);
    if (rows.empty()) {
      if (keep) b.List.Clear();
    } else if (b.List.Count() > 0) {
      FilterBitsNow(filterStat, methodIndex, rows, lastIndex, del);
    }
    combs.LogOperation(del, name, description, b.List.Count());
  } else {
    combs.SaveUndo(true);
    if (rows.empty()) {
      // No combination has a value of an empty selection; the method is not asked.
      Host_.Ui.SetStatus(FilteringStatus);
      if (keep) combs.SetCombs({});
      combs.LogOperation(del, name, description);
    } else {
      ApplyFilter(combs, filterStat, rows, del, name, description, lastIndex, Host_.Settings.SortedDraws, Host_.Ui);
    }
  }
  if (LogOn()) Log_.Write(Format(ScriptListCountFormat, {ListCount()}));
}

}  // namespace vexa
