// The workspace's script runs: forecast, test, stop, and the switches and
// logs of the script tab.
#include "core/error.h"
#include "core/file_report.h"
#include "core/format.h"
#include "workspace/workspace.h"

namespace vexa {

namespace {

// The statistics tab's window length is what a run leaves behind of its
// settings; the overridden switches stay this run's.
struct TRunSettingsScope {
  TMainWindowSettings& Stored;
  TMainWindowSettings Run;
  ~TRunSettingsScope() { Stored.DrawsStatLen = Run.DrawsStatLen; }
};

}  // namespace

TScriptHost TWorkspace::ScriptHost(TMainWindowSettings& settings) {
  return TScriptHost{Archive_,
                     Stats_,
                     Combs_,
                     Stakes_,
                     Relay_,
                     DataDir_,
                     FullSetPlace(),
                     settings,
                     StatView_,
                     ScriptRandom_,
                     [this] { CheckStakesNow(); },
                     [this] {
                       Stakes_.ClearStakesFile();
                       Stakes_.ReopenStakesFile();
                     },
                     Overrides_.ScriptSpeedUps};
}

void TWorkspace::RequireScriptIdle() const {
  if (ScriptState_.ScriptRunning) throw EVexaError("Сценарий уже выполняется!");
}

TScriptRunResult TWorkspace::ScriptRun() {
  RequireIdle();
  RequireScriptIdle();
  if (Scripts_.Empty()) throw EVexaError("Сценарий не содержит ни одной строки!");
  if (Archive_.Empty()) throw EVexaError("Архив тиражей пуст!");
  TOperation op(*this, ChangeCombs | ChangeOffset | ChangeStakes | ChangeRatings | ChangeSettings);
  TRunSettingsScope settings{Window_, RunSettings()};
  TScriptHost host = ScriptHost(settings.Run);
  // The lines are copied: the list must not change under a run.
  const std::vector<std::string> lines = Scripts_.Lines();
  return TScriptRunner(host, ScriptState_, ScriptLog_).Forecast(lines);
}

TScriptRunResult TWorkspace::ScriptTest(int n) {
  RequireIdle();
  RequireScriptIdle();
  if (n == 0) return {};
  if (Scripts_.Empty()) throw EVexaError("Сценарий не содержит ни одной строки!");
  if (Archive_.Empty()) throw EVexaError("Архив тиражей пуст!");
  const int most = Archive_.Count() - 1;
  if (n < 1 || n > most) throw EVexaError(Format(TestCountErrorFormat, {most}));
  TOperation op(*this, ChangeCombs | ChangeOffset | ChangeStakes | ChangeRatings | ChangeSettings);
  TRunSettingsScope settings{Window_, RunSettings()};
  TScriptHost host = ScriptHost(settings.Run);
  const std::vector<std::string> lines = Scripts_.Lines();
  return TScriptRunner(host, ScriptState_, ScriptLog_).Test(lines, n);
}

bool TWorkspace::ScriptStop() { return RequestScriptStop(ScriptState_, ScriptLog_, Ui_, true); }

void TWorkspace::LogToggle() {
  RequireScriptIdle();
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("ScriptLogEnabled", !Window_.ScriptLogEnabled, Window_.ScriptLogEnabled);
}

void TWorkspace::StakesCheckLine() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("StakesCheckOnLine", !Window_.StakesCheckOnLine, Window_.StakesCheckOnLine);
}

void TWorkspace::LogsDelete() {
  RequireScriptIdle();
  const std::string pattern = ScriptLogPattern(DataDir_);
  if (!AnyFileMatches(pattern)) {
    Ui_.Message(TMessageKind::Information, "Файлы журналов не найдены!");
    return;
  }
  TOperation op(*this, 0);
  SetStatus("Поиск файлов журналов...");
  ReportFileOperation(Relay_, DeleteFilesWithReport(pattern));
}

}  // namespace vexa
