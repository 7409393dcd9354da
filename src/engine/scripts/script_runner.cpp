#include "scripts/script_runner.h"

#include <algorithm>
#include <new>
#include <unordered_set>

#include "combs/filter.h"
#include "core/error.h"
#include "core/format.h"
#include "core/list_compare.h"
#include "scripts/bit_list.h"
#include "scripts/systems.h"
#include "stakes/stake_record.h"

namespace vexa {
namespace {

constexpr const char* VariantsStatus = "Создание всех вариантов фильтров...";
constexpr const char* VariantsProgressFormat = "Создание всех вариантов фильтров ( %d )...";
constexpr const char* CountFormat = "Количество комбинаций в списке: %d";

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

// The distinct numbers of a list in order of first appearance, at most 45.
class TDistinctNumbers {
 public:
  // False once 45 numbers are there.
  bool Add(const TComb& comb) {
    for (uint8_t n : comb) {
      if (Seen_[n]) continue;
      Seen_[n] = true;
      Numbers.push_back(n);
      if (Numbers.size() >= static_cast<size_t>(MaxNumber)) return false;
    }
    return true;
  }
  TByteArray Numbers;

 private:
  std::array<bool, 256> Seen_{};
};

uint64_t PackComb(const TComb& comb) {
  uint64_t v = 0;
  for (size_t i = 0; i < comb.size(); ++i) v |= static_cast<uint64_t>(comb[i]) << (8 * i);
  return v;
}

}  // namespace

// ---- Texts ---------------------------------------------------------------------------

std::string ScriptStatusText(const TScriptStatusBar& bar) {
  std::string s;
  for (const std::string* panel : {&bar.Cycle, &bar.Line, &bar.Stakes, &bar.Text}) {
    if (panel->empty()) continue;
    if (!s.empty()) s += " | ";
    s += *panel;
  }
  return s;
}

// ---- The line's list as bits ------------------------------------------------------------

struct TScriptRunner::TBits {
  std::unique_ptr<TFullCombs> All;  // made on first use
  TBitList List;
  TBitList Undo;
  TBitList Excl;
  bool Active = false;  // the line's list lives in List
  bool Synced = false;  // and the combinations list holds the same
  int ExclOffset = -1;
  int ExclN = -1;
  TMatchCache Cache;
  std::vector<TComb> Scratch;
};

TScriptRunner::TScriptRunner(TScriptHost& host, TScriptRunState& state, TScriptLog& log)
    : Host_(host), State_(state), Log_(log), Bits_(std::make_unique<TBits>()) {}

TScriptRunner::~TScriptRunner() = default;

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

// ---- The run frame -------------------------------------------------------------------

bool RequestScriptStop(TScriptRunState& state, TScriptLog& log, TUserInterface& ui, bool ask) {
  if (!state.ScriptRunning || state.ScriptStopped) return false;
  if (ask && !ui.Ask(ScriptStopQuestion, "Подтверждение", false)) return false;
  log.WritePadded(ScriptLogStoppedText, '#');
  state.ScriptStopped = true;
  return true;
}

bool TScriptRunner::Stopped() {
  if (!State_.ScriptStopped && Host_.Ui.StopRequested()) {
    Log_.WritePadded(ScriptLogStoppedText, '#');
    State_.ScriptStopped = true;
  }
  return State_.ScriptStopped;
}

void TScriptRunner::Fail(const std::string& message) {
  State_.ScriptStopped = true;
  Host_.Ui.Message(TMessageKind::Error, message);
}

void TScriptRunner::BeginRun() {
  Host_.Ui.SetStatus(ScriptRunningStatus);
  if (Host_.Settings.ScriptLogEnabled) {
    Log_.Begin(Host_.DataDir, Log_.Now());
    Log_.WritePadded(ScriptLogStartText, '#');
  }
  State_.ScriptRunning = true;
  State_.ScriptStopped = false;
  State_.ScriptStakes = 0;
  State_.Bar = {};
  LastStakesShow_ = {};
  // Answers kept from an earlier run may no longer hold (settings, archive).
  Bits_->Cache.Clear();
  Bits_->Active = false;
}

void TScriptRunner::EndRun(TScriptRunResult& result, bool doneText) {
  result.Stopped = State_.ScriptStopped;
  result.Stakes = State_.ScriptStakes;
  if (doneText) ShowText(ScriptDoneStatus);
  State_.ScriptCycle = 0;
  State_.ScriptRunning = false;
  State_.ScriptStopped = false;
  if (Log_.Active()) {
    Log_.WritePadded(ScriptLogEndText, '#');
    result.LogFile = Log_.File();
    Log_.End();
  }
}

void TScriptRunner::LogOffsetHeader(int offset) {
  if (!LogOn()) return;
  Log_.WriteRule('=');
  Log_.WritePadded(Format("=== Выполнение сценария для смещения %.6d ", {offset}), '=');
  Log_.WriteRule('=');
}

TScriptRunResult TScriptRunner::Forecast(const std::vector<std::string>& lines) {
  TScriptRunResult result;
  BeginRun();
  State_.ScriptCycle = 1;
  const TStatViewState view = Host_.StatView;
  ShowCycle();
  LogOffsetHeader(Host_.Archive.DrawsOffset());
  result.Passes = 1;
  RunPassReporting(lines);
  const bool stopped = State_.ScriptStopped;
  Host_.StatView.SortColumn = view.SortColumn;
  Host_.StatView.SortDescending = view.SortDescending;
  EndRun(result, !stopped);
  return result;
}

TScriptRunResult TScriptRunner::Test(const std::vector<std::string>& lines, int n) {
  TScriptRunResult result;
  BeginRun();
  const TStatViewState view = Host_.StatView;
  const int offset = Host_.Archive.DrawsOffset();
  State_.ScriptCycle = 0;
  for (int v = n; v >= 1; --v) {
    ++State_.ScriptCycle;
    ShowCycle();
    ShowText(ScriptRunningStatus);
    if (Stopped()) break;
    Host_.Archive.SetDrawsOffset(v);
    if (Stopped()) break;
    LogOffsetHeader(v);
    if (Stopped()) break;
    ++result.Passes;
    RunPassReporting(lines);
  }
  // After a stop the offset stays where the interrupted pass was.
  if (!State_.ScriptStopped) Host_.Archive.SetDrawsOffset(offset);
  Host_.StatView.SortColumn = view.SortColumn;
  Host_.StatView.SortDescending = view.SortDescending;
  EndRun(result, true);
  return result;
}

void TScriptRunner::RunPassReporting(const std::vector<std::string>& lines) {
  try {
    RunPass(lines);
  } catch (const std::exception& e) {
    Fail(e.what());
  }
}

void TScriptRunner::RunPass(const std::vector<std::string>& lines) {
  Host_.Stakes.AppendRunSeparator();
  DropExclBuffers();
  Host_.Stats.SaveCdl();
  // Also when the pass ends by an error.
  struct TRestore {
    TScriptRunner& Runner;
    ~TRestore() {
      Runner.Host_.Stats.RestoreCdl();
      Runner.DropExclBuffers();
    }
  } restore{*this};

  for (size_t i = 0; i < lines.size(); ++i) {
    if (Stopped()) break;
    // A separator (also one of blanks only) is no command.
    if (IsScriptSeparator(lines[i])) continue;
    const int lineNumber = static_cast<int>(i) + 1;
    if (LogOn()) {
      Log_.WriteRule('-');
      Log_.Write(Format("Выполнение строки %.3d: \"%s\"", {lineNumber, lines[i]}));
      Log_.WriteRule('-');
    }
    RunLine(lineNumber, lines[i]);
    if (Stopped()) break;
  }
  // The lines may have kept their list as bits; the combinations list gets it now.
  try {
    SyncList();
  } catch (...) {
    Bits_->Active = false;
    throw;
  }
  if (!Host_.Settings.StakesCheckOnLine) CheckStakesNow();
}

void TScriptRunner::CheckStakesNow() {
  if (Host_.CheckStakes) Host_.CheckStakes();
}

// ---- One line --------------------------------------------------------------------------

void TScriptRunner::RunLine(int lineNumber, const std::string& line) {
  Host_.Combs.DiscardUndo();
  TFilterVariants variants;
  bool built = false;
  try {
    const TScriptOptions options = ParseScriptOptions(ScriptLineOptions(line));
    if (Stopped()) return;
    std::vector<TFilterItem> items;
    for (int i = 1; i <= ScriptFilterCount; ++i) {
      const std::string text = ScriptLineFilter(line, i);
      if (!text.empty()) items.push_back(ParseFilterItem(text, Host_.Stats));
    }
    if (Stopped()) return;

    if (LogOn()) Log_.Write(VariantsStatus);
    ShowLine(lineNumber);
    ShowText(VariantsStatus);
    TVariantHooks hooks;
    hooks.Stopped = [this] { return Stopped(); };
    hooks.Progress = [this](int count) { ShowText(Format(VariantsProgressFormat, {count})); };
    try {
      variants = BuildFilterVariants(items, hooks);
    } catch (const std::bad_alloc& e) {
      Fail(std::string(TooManyVariantsText) + "\r\r" + e.what());
      return;
    }
    built = true;
    const int count = variants.Count();
    if (LogOn()) Log_.Write(Format("Создано %d вариантов фильтров.", {count}));
    const std::string comment = ScriptLineComment(line);
    for (int v = 1; v <= count; ++v) {
      if (Stopped()) break;
      RunVariant(lineNumber, v, count, variants.Set(v - 1), options, comment);
    }
  } catch (const std::exception& e) {
    Fail(e.what());
  }
  if (!built) return;
  if (Host_.Settings.StakesCheckOnLine) {
    try {
      CheckStakesNow();
    } catch (const std::exception& e) {
      Fail(e.what());
    }
  }
  Host_.Combs.DiscardUndo();
}

void TScriptRunner::RunVariant(int lineNumber, int v, int count, const TFilterSet& set, const TScriptOptions& options,
                               const std::string& comment) {
  const std::string setText = FormatFilterSet(set);
  if (LogOn()) {
    Log_.Write("");
    Log_.WriteRule('-');
    Log_.Write(Format("Применение набора фильтров %.3d: \"%s\"", {v, setText}));
    Log_.WriteRule('-');
  }
  ShowLine(lineNumber);
  ShowText(Format("Фильтр %d из %d: %s", {v, count, setText}));

  if (LogOn()) Log_.Write("Создание начального списка комбинаций...");
  BuildStartList(options);
  if (LogOn()) Log_.Write(Format(CountFormat, {ListCount()}));
  if (Stopped()) return;

  ApplyParts(set);
  if (Stopped()) return;

  MakeStakes(options, lineNumber, v, FormatScriptOptionsShort(options) + " + " + setText, comment);
  if (Stopped()) return;

  if (LogOn()) Log_.WriteRule('-');
  if (Host_.Settings.StakesCheckOnLine) CheckStakesNow();
}

void TScriptRunner::BuildStartList(const TScriptOptions& options) {
  TCombsList& combs = Host_.Combs;
  const int type = options.StartCombsType;
  const bool excl = type == sctExcl && options.DrawsExclude > 0;
  if ((type == sctFull || type == sctExcl) && UseBits()) {
    StartBits(options);
    if (Stopped()) return;
  } else if (type == sctFull || type == sctExcl) {
    Bits_->Active = false;
    // Generate has shown its error already.
    if (!combs.Generate(true, Host_.Stats.Generate)) State_.ScriptStopped = true;
    if (Stopped()) return;
    if (excl) {
      const int offset = Host_.Archive.DrawsOffset();
      const int n = options.DrawsExclude;
      if (!combs.ReadExclBuffer(offset, n)) {
        // A failed read (shown) has emptied the list: start again from the full one.
        if (combs.ExclOffset() == offset && combs.ExclN() == n && !combs.Generate(true, Host_.Stats.Generate))
          State_.ScriptStopped = true;
        combs.SaveUndo(true);
        combs.RemoveDrawn(n, Host_.Archive.Draws(), offset);
        combs.WriteExclBuffer(offset, n);
      }
    }
  }
  if (excl && Stopped()) return;
  if (options.ClearStakes && Host_.ClearStakes) Host_.ClearStakes();
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
  if (LogOn()) Log_.Write(Format(CountFormat, {ListCount()}));
}

// ---- Stakes ------------------------------------------------------------------------------

void TScriptRunner::MakeStakes(const TScriptOptions& options, int lineNumber, int v, const std::string& description,
                               const std::string& comment) {
  const int mode = options.ResultCombsMode;
  if (LogOn())
    Log_.Write(Format("{*} Добавление ставки, режим: \"%s\"", {KeywordText(ResultCombsModes, mode)}));
  const int count = ListCount();
  if (count == 0 || mode == rcmNone) return;
  const std::string origin = StakeOriginText(lineNumber, v, comment, description);
  if (count > 1 && mode == rcmStop) {
    State_.ScriptStopped = true;
    if (LogOn()) Log_.Write("{!} Сценарий остановлен!");
    Host_.Ui.Message(TMessageKind::Attention, Format(ScriptStopWarningFormat, {count, origin}));
    return;
  }
  if (count > 1 && mode == rcmSkip) {
    if (LogOn()) Log_.Write("{-} Ставка игнорирована!");
    return;
  }
  if (Stopped()) return;
  if (count == 1) {
    AddStake(ListAt(0), origin, options.NewOnly, false);
    return;
  }
  switch (mode) {
    case rcmRand:
      AddStake(ListAt(static_cast<int>(RandomIndex(Host_.Random, static_cast<uint64_t>(count)))), origin,
               options.NewOnly, false);
      break;
    case rcmFirst: AddStake(ListAt(0), origin, options.NewOnly, false); break;
    case rcmLast: AddStake(ListAt(count - 1), origin, options.NewOnly, false); break;
    case rcmAll:
      if (Bits_->Active) {
        Bits_->List.ForEach([&](size_t p) {
          if (Stopped()) return false;
          AddStake((*Bits_->All)[p], origin, options.NewOnly, true);
          return true;
        });
      } else {
        for (int i = 0; i < count; ++i) {
          if (Stopped()) break;
          AddStake(Host_.Combs[i], origin, options.NewOnly, true);
        }
      }
      ShowStakes(false);
      break;
    case rcmSysA:
    case rcmSysC:
      PlaySystem(mode == rcmSysA, origin, options.NewOnly);
      ShowStakes(false);
      break;
    default: break;
  }
}

bool TScriptRunner::AddStake(const TComb& comb, const std::string& origin, bool newOnly, bool bulk) {
  const TNumList numbers = CombToNumList(comb);
  const int32_t drawNumber = Host_.Archive.NextDrawNumber(Host_.Archive.DrawsOffset());
  const std::string numbersText = NumListToText(numbers, ";");
  if (newOnly && Host_.Stakes.StakeExists(drawNumber, numbers)) {
    if (LogOn())
      Log_.Write(Format("{-} Ставка на тираж %d не добавлена, так как уже имеется в списке ставок: [%s]",
                        {drawNumber, numbersText}));
    return false;
  }
  const TStakeRec stake = NewStake(StakeScript, drawNumber, ListCount(), numbers, origin, Host_.Stats.Config);
  try {
    Host_.Stakes.AppendStake(stake, 1, bulk, Host_.Ui);
  } catch (const EVexaError& e) {
    Host_.Ui.Message(TMessageKind::Error, e.what());
    return false;
  }
  if (LogOn())
    Log_.Write(Format("{+} Ставка на тираж %d добавлена в список ставок: [%s]", {drawNumber, numbersText}));
  ++State_.ScriptStakes;
  ShowStakes(bulk);
  return true;
}

void TScriptRunner::PlaySystem(bool whole, const std::string& origin, bool newOnly) {
  TDistinctNumbers distinct;
  if (Bits_->Active) {
    Bits_->List.ForEach([&](size_t p) { return distinct.Add((*Bits_->All)[p]); });
  } else {
    for (const TComb& comb : Host_.Combs.Combs())
      if (!distinct.Add(comb)) break;
  }
  const TByteArray& numbers = distinct.Numbers;
  const int k = static_cast<int>(numbers.size());
  const TSystemExpansion system = ExpandSystem(numbers, Host_.DataDir, Host_.Ui);
  if (!system.Ok) {
    if (LogOn()) Log_.Write(Format("{#} Системная игра для %d чисел [ОШИБКА]: \"%s\"", {k, system.Error}));
    return;
  }
  if (LogOn())
    Log_.Write(Format(whole ? "{#} Системная игра для %d чисел [все система]: загружен файл \"%s\""
                            : "{#} Системная игра для %d чисел [система * комбинации]: загружен файл \"%s\"",
                      {k, system.File.stem().string()}));
  std::unordered_set<uint64_t> inList;
  if (!whole && !Bits_->Active)
    for (const TComb& comb : Host_.Combs.Combs()) inList.insert(PackComb(comb));
  auto listHas = [&](const TComb& comb) {
    if (!Bits_->Active) return inList.count(PackComb(comb)) != 0;
    const int64_t position = TFullCombs::PositionOf(comb);
    return position >= 0 && Bits_->List.Test(static_cast<size_t>(position));
  };
  for (TComb comb : system.Combs) {
    if (Stopped()) break;
    SortComb(comb);
    if (whole || listHas(comb)) AddStake(comb, origin, newOnly, true);
  }
}

// ---- Status bar ------------------------------------------------------------------------------

void TScriptRunner::ShowBar() { Host_.Ui.SetStatus(ScriptStatusText(State_.Bar)); }

void TScriptRunner::ShowCycle() {
  State_.Bar.Cycle = Format("Цикл: %d", {State_.ScriptCycle});
  ShowBar();
}

void TScriptRunner::ShowLine(int lineNumber) { State_.Bar.Line = Format("Строка: %d", {lineNumber}); }

void TScriptRunner::ShowStakes(bool bulk) {
  const auto now = std::chrono::steady_clock::now();
  if (bulk && now - LastStakesShow_ < std::chrono::milliseconds(101)) return;
  LastStakesShow_ = now;
  State_.Bar.Stakes = Format("Ставок: %d", {State_.ScriptStakes});
  ShowBar();
}

void TScriptRunner::ShowText(const std::string& text) {
  State_.Bar.Text = text;
  ShowBar();
}

}  // namespace vexa
