// Running a script: the forecast (every line once at the current draws
// offset) and the test (the whole script at offsets n, n-1, ..., 1).
//
// Running a line: its start list of combinations, then for every variant
// of its filters (one window length and one condition value per filter,
// the Cartesian product in order, the first filter varying slowest) the
// filters applied in turn through the statistics table and ApplyFilter,
// then stakes from what is left. Stakes of a pass form one group in the
// stakes file; they are checked after every variant or once per pass.
//
// Everything runs on the caller's thread (filter walks use helper threads
// inside one step). The stop flag is polled, together with
// TUserInterface::StopRequested, before every step of every loop; a stop, a
// "STOP" result or an error ends the run through the same clean-up as a
// normal end. Errors in a line are shown once (error box) and stop the run;
// the stakes made before stay.
//
// The script tab's status bar (cycle, line, stakes, text) is kept in the run
// state and handed to SetStatus as one text at every change.
//
// Speed: with the default generation (every combination) a line's list is
// kept as bits over the full set while its variants run (bit_list.h), and
// the method's answers are remembered for the rest of the run, so a
// selection met again costs a few bit operations. The stakes, the log and
// the combinations list with its operations log come out exactly as the
// plain way gives them; TScriptHost::SpeedUps switches it off.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "combs/combs_list.h"
#include "core/draws_archive.h"
#include "core/settings.h"
#include "core/user_interface.h"
#include "scripts/script_log.h"
#include "scripts/script_text.h"
#include "scripts/script_variants.h"
#include "stakes/stakes_file.h"
#include "stats/full_set.h"
#include "stats/stat_list.h"
#include "stats/stat_rows.h"

namespace vexa {

// ---- Texts ------------------------------------------------------------------------

inline constexpr const char* ScriptRunningStatus = "Выполнение сценария...";
inline constexpr const char* ScriptDoneStatus = "Сценарий завершен!";
inline constexpr const char* ScriptStopQuestion = "Остановить выполнение сценария?";
inline constexpr const char* MethodNotFoundFormat =
    "Метод расчета статистики \"%s\" на найден!\r%s\r\rВозможно, Вы отключили данных метод расчета либо "
    "использовали сценарий от другой модификации программы.";
inline constexpr const char* ScriptStopWarningFormat =
    "Выполнение сценария прервано, т.к. после применения всех фильтров в списке комбинаций их осталось более "
    "одной: %d!\r\rФильтры: %s";
inline constexpr const char* TestCountErrorFormat = "Количество тестов должно быть от 1 до %d!";

// The number-of-tests dialog: spin 1 .. draws - 1, initially 10.
inline constexpr const char* TestCountCaption = "Количество тестов";
inline constexpr const char* TestCountLabel = "Укажите количество тестов:";
inline constexpr int TestCountDefault = 10;

// ---- Run state ---------------------------------------------------------------------

// The panels of the script tab's status bar, 1 to 4.
struct TScriptStatusBar {
  std::string Cycle;   // "Цикл: %d"
  std::string Line;    // "Строка: %d"
  std::string Stakes;  // "Ставок: %d"
  std::string Text;    // "Фильтр %d из %d: %s" or a plain text
};
// The four panels as one progress text: "Цикл: 1 | Строка: 2 | Ставок: 0 | ...".
std::string ScriptStatusText(const TScriptStatusBar& bar);

struct TScriptRunState {
  bool ScriptRunning = false;
  bool ScriptStopped = false;  // the stop flag
  int ScriptCycle = 0;         // pass of a test; 1 in a forecast
  int ScriptStakes = 0;        // stakes added since the run began
  TScriptStatusBar Bar;
};

// The statistics tab's selection as a run drives it. The run leaves the
// method where its last filter put it and gives the sort order back.
struct TStatViewState {
  int MethodIndex = -1;
  int SortColumn = scHits;
  bool SortDescending = true;
};

// What a run ends with.
struct TScriptRunResult {
  int Stakes = 0;        // stakes added
  bool Stopped = false;  // by the Stop command, a "STOP" result or an error
  int Passes = 0;        // passes begun
  std::filesystem::path LogFile;  // the execution log written, if any
};

// ---- Running ------------------------------------------------------------------------

// What a run drives; the owner (the workspace) fills it in.
// The log line after every filter step and every start list.
inline constexpr const char* ScriptListCountFormat = "Количество комбинаций в списке: %d";

struct TScriptHost {
  TDrawsArchive& Archive;
  TStatList& Stats;
  TCombsList& Combs;
  TStakesFile& Stakes;
  TUserInterface& Ui;
  std::filesystem::path DataDir;
  TFullSetPlace FullSetPlace;
  TMainWindowSettings& Settings;  // switches; DrawsStatLen is the statistics tab's window length
  TStatViewState& StatView;
  std::mt19937_64& Random;
  // CheckStakes and RefreshStakesView; throws the check's error.
  std::function<void()> CheckStakes;
  // ClearStakesFile, then the file reopened and the view refreshed.
  std::function<void()> ClearStakes;
  // Lines that start from the full list keep it as bits while their
  // variants run (same stakes, log and list; off for comparison).
  bool SpeedUps = true;
};

class TScriptRunner {
 public:
  TScriptRunner(TScriptHost& host, TScriptRunState& state, TScriptLog& log);
  ~TScriptRunner();
  TScriptRunner(const TScriptRunner&) = delete;
  TScriptRunner& operator=(const TScriptRunner&) = delete;

  // One pass at the current offset.
  TScriptRunResult Forecast(const std::vector<std::string>& lines);
  // Passes at offsets n .. 1; the offset comes back unless the run was stopped.
  // REQUIRES: 1 <= n < archive size.
  TScriptRunResult Test(const std::vector<std::string>& lines, int n);

  // The whole script once at the current offset (no run frame around it);
  // the combinations list holds the last line's list at its end.
  void RunPass(const std::vector<std::string>& lines);

  // The stop flag, after asking the front end whether a stop was requested.
  bool Stopped();

 private:
  void BeginRun();
  void EndRun(TScriptRunResult& result, bool doneText);
  void LogOffsetHeader(int offset);
  void RunPassReporting(const std::vector<std::string>& lines);
  void RunLine(int lineNumber, const std::string& line);
  void RunVariant(int lineNumber, int v, int count, const TFilterSet& set, const TScriptOptions& options,
                  const std::string& comment);
  void BuildStartList(const TScriptOptions& options);
  void ApplyParts(const TFilterSet& set);
  void ApplyPart(const TFilterPart& part);
  void ApplyRows(TCustomStat& filterStat, int methodIndex, const TStatDrawArray& rows, bool keep);
  void MakeStakes(const TScriptOptions& options, int lineNumber, int v, const std::string& description,
                  const std::string& comment);
  bool AddStake(const TComb& comb, const std::string& origin, bool newOnly, bool bulk);
  void PlaySystem(bool whole, const std::string& origin, bool newOnly);
  void CheckStakesNow();
  void Fail(const std::string& message);

  // The line's list: the bits while they hold it, else the combinations list.
  struct TBits;
  bool UseBits() const;
  int ListCount() const;
  TComb ListAt(int i) const;
  void StartBits(const TScriptOptions& options);
  void RemoveDrawnBits(int n);
  void FilterBitsNow(TCustomStat& stat, int methodIndex, const TStatDrawArray& rows, int lastIndex, bool del);
  void RestoreUndoList();
  void DropExclBuffers();
  void SyncList();

  void ShowCycle();
  void ShowLine(int lineNumber);
  void ShowStakes(bool bulk);
  void ShowText(const std::string& text);
  void ShowBar();
  bool LogOn() const { return Log_.Active(); }

  TScriptHost& Host_;
  TScriptRunState& State_;
  TScriptLog& Log_;
  std::chrono::steady_clock::time_point LastStakesShow_{};
  std::unique_ptr<TBits> Bits_;
};

// The Stop command: asks (when `ask`), logs the interruption and sets the
// flag. False when no run is going or it is already stopping, or the user
// said no.
bool RequestScriptStop(TScriptRunState& state, TScriptLog& log, TUserInterface& ui, bool ask);

}  // namespace vexa
