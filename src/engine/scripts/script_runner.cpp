// The script runner's frame: a forecast or a test, its passes, lines and
// variants, and the status bar.
#include "scripts/script_runner.h"

#include <algorithm>
#include <new>
#include <unordered_set>

#include "combs/filter.h"
#include "core/error.h"
#include "core/format.h"
#include "core/list_compare.h"
#include "scripts/bit_list.h"
#include "scripts/script_runner_bits.h"
#include "scripts/systems.h"
#include "stakes/stake_record.h"

namespace vexa {
namespace {

constexpr const char* VariantsStatus = "Создание всех вариантов фильтров...";
constexpr const char* VariantsProgressFormat = "Создание всех вариантов фильтров ( %d )...";

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

TScriptRunner::TScriptRunner(TScriptHost& host, TScriptRunState& state, TScriptLog& log)
    : Host_(host), State_(state), Log_(log), Bits_(std::make_unique<TBits>()) {}

TScriptRunner::~TScriptRunner() = default;

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
  if (LogOn()) Log_.Write(Format(ScriptListCountFormat, {ListCount()}));
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
