// The workspace's script runs: forecast, test, stop, and the switches and
// logs of the script tab.
#include "core/error.h"
#include "core/file_report.h"
#include "core/format.h"
#include "workspace/workspace.h"

namespace vexa {

TScriptHost TWorkspace::ScriptHost() {
  return TScriptHost{Archive_,
                     Stats_,
                     Combs_,
                     Stakes_,
                     Relay_,
                     DataDir_,
                     FullSetPlace(),
                     Window_,
                     StatView_,
                     ScriptRandom_,
                     [this] { CheckStakesNow(); },
                     [this] {
                       Stakes_.ClearStakesFile();
                       Stakes_.ReopenStakesFile();
                     },
                     ScriptSpeedUps_};
}

void TWorkspace::RequireScriptIdle() const {
  if (ScriptState_.ScriptRunning) throw EVexaError("Сценарий уже выполняется!");
}

TScriptRunResult TWorkspace::ScriptRun() {
  RequireScriptIdle();
  if (Scripts_.Empty()) throw EVexaError("Сценарий не содержит ни одной строки!");
  if (Archive_.Empty()) throw EVexaError("Архив тиражей пуст!");
  TBusy busy(*this);
  TScriptHost host = ScriptHost();
  // The lines are copied: the list must not change under a run.
  const std::vector<std::string> lines = Scripts_.Lines();
  return TScriptRunner(host, ScriptState_, ScriptLog_).Forecast(lines);
}

TScriptRunResult TWorkspace::ScriptTest(int n) {
  RequireScriptIdle();
  if (n == 0) return {};
  if (Scripts_.Empty()) throw EVexaError("Сценарий не содержит ни одной строки!");
  if (Archive_.Empty()) throw EVexaError("Архив тиражей пуст!");
  const int most = Archive_.Count() - 1;
  if (n < 1 || n > most) throw EVexaError(Format(TestCountErrorFormat, {most}));
  TBusy busy(*this);
  TScriptHost host = ScriptHost();
  const std::vector<std::string> lines = Scripts_.Lines();
  return TScriptRunner(host, ScriptState_, ScriptLog_).Test(lines, n);
}

bool TWorkspace::ScriptStop() { return RequestScriptStop(ScriptState_, ScriptLog_, Ui_, true); }

void TWorkspace::LogToggle() {
  RequireScriptIdle();
  const bool value = !Window_.ScriptLogEnabled;
  WriteWindowBool(DataFile(WindowSettingsFileExt), MainWindowSection, "ScriptLogEnabled", value);
  Window_.ScriptLogEnabled = value;
}

void TWorkspace::StakesCheckLine() {
  const bool value = !Window_.StakesCheckOnLine;
  WriteWindowBool(DataFile(WindowSettingsFileExt), MainWindowSection, "StakesCheckOnLine", value);
  Window_.StakesCheckOnLine = value;
}

void TWorkspace::LogsDelete() {
  RequireScriptIdle();
  const std::string pattern = ScriptLogPattern(DataDir_);
  if (!AnyFileMatches(pattern)) {
    Ui_.Message(TMessageKind::Information, "Файлы журналов не найдены!");
    return;
  }
  TBusy busy(*this);
  SetStatus("Поиск файлов журналов...");
  ReportFileOperation(Relay_, DeleteFilesWithReport(pattern));
}

}  // namespace vexa
