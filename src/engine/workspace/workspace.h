// TWorkspace owns the working data of one data folder: the draws archive
// and its analysis offset, the settings, the statistics registry, the busy
// counter and the status text. Every command of the main window is an
// operation here with the same name; the window, the `vexa` command and the
// tests all call these.
//
// Files live in the data folder and are named after the program:
// "Korvane_6x45" plus an extension.
//
// Operations throw EVexaError with the message to show; Open instead
// reports each failure through the user interface and goes on, as the
// program's start-up does. Not thread-safe.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "combs/combs_list.h"

#include "core/draws_archive.h"
#include "core/settings.h"
#include "core/user_interface.h"
#include "acquire/download.h"
#include "online/http_settings.h"
#include "online/proxy.h"
#include "stakes/ratings.h"
#include "stakes/stakes_check.h"
#include "stakes/stakes_file.h"
#include "stakes/tables.h"
#include "stats/full_set.h"
#include "scripts/script_list.h"
#include "scripts/script_runner.h"
#include "scripts/script_text.h"
#include "stats/stat_list.h"
#include "workspace/start_switches.h"

namespace vexa {

inline constexpr const char* ProgramBaseName = "Korvane_6x45";

// The data folder: the --data-dir value, else VEXA_DATA_DIR, else the program's folder.
std::filesystem::path ResolveDataDir(const std::string& option, const char* environment,
                                     const std::filesystem::path& programFolder);

// For k = 0..6: how many combinations share exactly k numbers with a stake
// of six, and that count as a share of all combinations.
struct TMatchRow {
  int64_t Count = 0;
  long double Probability = 0;
};
using TMatchTable = std::array<TMatchRow, MainCount + 1>;
TMatchTable ComputeMatchTable();

class TWorkspace {
 public:
  TWorkspace(std::filesystem::path dataDir, TUserInterface& ui);
  TWorkspace(const TWorkspace&) = delete;
  TWorkspace& operator=(const TWorkspace&) = delete;

  const std::filesystem::path& DataDir() const { return DataDir_; }
  // DataDir/Korvane_6x45<ext>
  std::filesystem::path DataFile(const std::string& ext) const;

  TUserInterface& Ui() { return Ui_; }
  TDrawsArchive& Archive() { return Archive_; }
  const TDrawsArchive& Archive() const { return Archive_; }
  TStatList& Stats() { return Stats_; }
  const TStatList& Stats() const { return Stats_; }
  TMainWindowSettings& Window() { return Window_; }
  const TProxy& Proxy() const { return Proxy_; }
  const TStartSwitches& Switches() const { return Switches_; }
  const TMatchTable& MatchTable() const { return MatchTable_; }

  // Start-up: window settings, configuration, proxy, the statistics
  // registry with the favourites, then the initial run (match table, offset
  // 0, the draws archive). Returns how many failures were reported.
  int Open(const TStartSwitches& switches = {});
  // The stakes file could not be held exclusively (another copy works in
  // this folder, or it cannot be written): both messages have been shown,
  // Open stopped there, and the program must close.
  bool MustQuit() const { return MustQuit_; }

  // ---- Busy counter and status --------------------------------------------
  // While an operation runs the counter is above 0 and every command is disabled.
  class TBusy {
   public:
    explicit TBusy(TWorkspace& ws) : Ws_(ws) { ++Ws_.Busy_; }
    ~TBusy() {
      if (--Ws_.Busy_ == 0) Ws_.SetStatus("");
    }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

   private:
    TWorkspace& Ws_;
  };
  bool IsBusy() const { return Busy_ > 0; }
  int BusyCount() const { return Busy_; }
  void SetStatus(const std::string& text);
  const std::string& StatusText() const { return Status_; }

  // ---- Draws ------------------------------------------------------------------
  void SetDrawsOffset(int offset) { Archive_.SetDrawsOffset(offset); }
  int DrawsOffset() const { return Archive_.DrawsOffset(); }
  bool SortedDraws() const { return Window_.SortedDraws; }
  // Toggles the sorted display of the draws and stores the setting at once.
  void DrawsSorted();
  void DrawsAdd(const TDraw& draw);
  void DrawsEdit(int row, const TDraw& draw);
  void DrawsDel(const std::vector<int>& numbers);
  int DrawsImport(const std::filesystem::path& file);
  int DrawsExport(const std::filesystem::path& file);

  // ---- Online: results download and proxy ----------------------------------------
  const THttpSettings& Http() const { return Http_; }
  // The results download's client and proxy state (time-outs, wait-window hook).
  TMainConnection& Connection() { return Connection_; }
  // New draws from the results site (options.BaseUrl, else the HTTP setting),
  // month by month; then the stakes check. Throws when no site is configured.
  TDownloadResult DrawsDownload(TDownloadOptions options = {});
  // The proxy dialog's OK; false when the settings file could not be written (shown).
  bool EditProxy(const TProxy& values);

  // ---- Combinations -------------------------------------------------------------
  TCombsList& Combs() { return Combs_; }
  const TCombsList& Combs() const { return Combs_; }
  // Start-up step: room for all combinations in the list and its undo copy,
  // then the list from the default generation parameters.
  void CombsInit();
  // A new list from `params`; with makeDefault they become the defaults and
  // are written to the settings file first. False when generation failed.
  bool CombsGen(const TGenerateParams& params, bool makeDefault = false);
  // Replaces the list with a ".lcv" file; on a read error the previous list
  // stays (with its log). No undo afterwards.
  bool CombsOpen(const std::filesystem::path& file);
  bool CombsSave(const std::filesystem::path& file);
  std::string CombsCopy(const std::vector<int>& rows) const { return Combs_.CopyText(rows); }
  bool CombsPaste(std::string_view text);
  void CombsDelSelected(const std::vector<int>& rows);
  // Drops the n newest draws of the analysis window from the list.
  void CombsDelExists(int n);
  void CombsUndo();
  // Shows and returns the draws where the combination came.
  std::vector<std::string> CombsFindInDraws(const TComb& comb);
  // Shows and returns the number of distinct numbers in the list.
  int CombsCheckNums();
  // Keeps / deletes the combinations having one of these values of method i
  // (copies of the selected rows of the statistics list). With no rows the
  // list stays as it is (the undo copy is saved all the same).
  void StatFilter_Include(int methodIndex, const TStatDrawArray& rows) { StatFilter(methodIndex, rows, false); }
  void StatFilter_Exclude(int methodIndex, const TStatDrawArray& rows) { StatFilter(methodIndex, rows, true); }

  // ---- Full-set files -------------------------------------------------------------
  // Counting a file passes the list through the undo copy: the list comes
  // back unchanged and an earlier undo copy is lost.
  TFullSetPlace FullSetPlace() const { return {DataDir_, ProgramBaseName}; }
  std::optional<TFullSet> OpenFullSetFile(int methodIndex);
  std::vector<TFullSetCreated> RefreshFullSetFiles(bool force, unsigned groups);

  // ---- Stakes (workspace_stakes.cpp) -------------------------------------------------
  // Commands that change stakes end with the stakes check. Questions go to
  // the user interface; dialog input comes in as records and is checked
  // here, a refusal coming back with the message and the field to focus.
  TStakesFile& Stakes() { return Stakes_; }
  const TRatings& Ratings() const { return Ratings_; }
  const TTablesArray& Tables() const { return Tables_; }
  TStakeLogOptions StakeLog() const;
  // The manual stake dialog's record: kind 1 for the next draw, the focused combination.
  TStakeRec StakePrefill(const TComb* focused) const;
  // maxNumbers 6 for the dialog; up to 8 for the command line.
  TStakeInputCheck StakeAdd(const TStakeRec& prefilled, const TManualStakeInput& input, int maxNumbers = MainCount);
  // One stake per combination, in order; stops at the first failure.
  TStakeInputCheck StakeAddMulti(const TCombsArray& combs, const TMultiStakeInput& input);
  // rows: 1-based positions of records. Asks first; returns how many went.
  int StakeDel(const std::vector<int>& rows);
  int StakeFilter(TStakeCondition condition, int value);
  // Asks, empties the file, then rebuilds the ratings (RatingsRefresh asks again).
  bool StakeClear();
  // Returns how many stakes were checked.
  int StakesCheckManual();
  void LogStakes();  // toggles StakesLogEnabled, stored at once
  void LogStakesDelete();

  // ---- Ratings -----------------------------------------------------------------------
  int RatingsSortColumn() const { return RatingsSortColumn_; }
  bool RatingsSortDescending() const { return RatingsSortDescending_; }
  void RatingsSort(int column, bool descending);
  // False when the user declined the rebuild.
  bool RatingsRefresh();
  void RatingsEffMode(int mode);  // stored at once
  void RatingsExport(const std::filesystem::path& file);

  // ---- Regular tables ------------------------------------------------------------------
  // All but TabTables need the tab shown.
  void TabTables();  // toggles the tab: shown loads the rules, hidden empties them
  // selected: the selected combinations, positions their 1-based places in the list.
  TTableInputCheck TablesAdd(const TTableInput& input, const TCombsArray& selected, const std::vector<int>& positions);
  void TablesDel(const std::vector<int>& indexes);  // asks first
  // The stake from rule `index` for the next draw: the rule advanced on a
  // copy, which replaces the rule only when TablesStakeAdd accepts the dialog.
  struct TTableStakeDraft {
    int Index = -1;
    TTableRec Advanced;
    TStakeRec Stake;
  };
  TTableStakeDraft TablesStakePrepare(int index) const;
  TStakeInputCheck TablesStakeAdd(const TTableStakeDraft& draft, const TManualStakeInput& input);
  // Back-test over offsets n..1; returns the stakes appended.
  int TablesStakeTest(const std::vector<int>& indexes, int n);

 private:
  // Runs one start-up step; a failure is reported with `format` and counted.
  template <typename Step>
  void Try(const char* format, Step step);
  void StatFilter(int methodIndex, const TStatDrawArray& rows, bool del);
  // Runs after every download, also a failed one: the place of the stakes check.
  void CheckStakesAfterDownload();
  // Start-up: false when the stakes file cannot be held (MustQuit).
  bool OpenStakes();
  void LoadStakesData();  // ratings, then the regular tables
  int CheckStakesNow();
  void SortAndSaveRatings();
  void SaveTablesOrRestore(TTablesArray previous);
  void RequireTablesTab() const;

  // Passes everything to the front end and keeps the status text.
  class TRelay : public TUserInterface {
   public:
    explicit TRelay(TWorkspace& ws) : Ws_(ws) {}
    void SetStatus(std::string_view text) override;
    void Message(TMessageKind kind, std::string_view text) override { Ws_.Ui_.Message(kind, text); }
    bool Ask(std::string_view text, std::string_view title, bool noIsDefault) override {
      return Ws_.Ui_.Ask(text, title, noIsDefault);
    }
    bool StopRequested() override { return Ws_.Ui_.StopRequested(); }

   private:
    TWorkspace& Ws_;
  };

  std::filesystem::path DataDir_;
  TUserInterface& Ui_;
  TRelay Relay_{*this};
  TDrawsArchive Archive_;
  TStatList Stats_;
  TCombsList Combs_{Relay_};
  TMainWindowSettings Window_;
  TProxy Proxy_;
  THttpSettings Http_;
  TMainConnection Connection_{Proxy_, DataFile(SettingsFileExt), Relay_};
  TStartSwitches Switches_;
  TMatchTable MatchTable_{};
  TStakesFile Stakes_{DataFile(StakesFileExt)};
  TRatings Ratings_;
  TTablesArray Tables_;
  int RatingsSortColumn_ = RatingDefaultSortColumn;
  bool RatingsSortDescending_ = true;
  bool MustQuit_ = false;
  int Busy_ = 0;
  int Failures_ = 0;
  std::string Status_;

  // ---- Scripts (workspace_scripts.cpp) -----------------------------------------------
  // The script list; every change is written to "Korvane_6x45.lss" at once
  // (a failed write keeps list and file as they were and throws). Indexes
  // are 0-based; questions go to the user interface.
 public:
  const TScriptList& Scripts() const { return Scripts_; }
  const std::vector<std::string>& ScriptLines() const { return Scripts_.Lines(); }
  // The list view's row of line `index` (see ScriptRow).
  std::array<std::string, ScriptColumns> ScriptViewRow(int index) const;
  TFilterItem ScriptParseFilter(std::string_view text) const { return ParseFilterItem(text, Stats_); }
  void ScriptOpen(const std::filesystem::path& file);
  void ScriptSave(const std::filesystem::path& file);
  int ScriptAdd(std::string_view line);  // returns the new line's index
  int ScriptEmpty();                     // -1 while the list is empty
  int ScriptLoad(const std::filesystem::path& file);  // returns the lines added
  int ScriptClone(int index, std::string_view line);
  void ScriptEdit(int index, std::string_view line);
  int ScriptDel(const std::vector<int>& indexes);  // asks first; returns the lines removed
  bool ScriptClr();                                // asks first
  int ScriptUp(int index);                         // returns the moved line's index
  int ScriptDown(int index);
  // A script line from each rating row (0-based, view order) whose name is a
  // stake origin; a name without a filter is shown as an error and skipped.
  // Returns the lines added.
  int RatingsToScript(const std::vector<int>& rows);

 private:
  void LoadScriptData();  // start-up: the working file when it exists
  TScriptList Scripts_{DataFile(ScriptFileExt)};

  // ---- Script execution (workspace_script_run.cpp) ------------------------------------
  // Forecast and test of the working script. Both throw EVexaError when
  // the script or the archive is empty or a run is going; otherwise every
  // failure is shown during the run and stops it. Execution logs lie in the
  // data folder.
 public:
  const TScriptRunState& ScriptState() const { return ScriptState_; }
  bool ScriptRunning() const { return ScriptState_.ScriptRunning; }
  // The statistics tab's method and sort order as the last run left them.
  const TStatViewState& StatView() const { return StatView_; }
  TScriptRunResult ScriptRun();
  // Passes at offsets n .. 1 (1 <= n < archive size); n = 0 does nothing.
  TScriptRunResult ScriptTest(int n);
  // Asks, then stops the run at its next check; false when nothing stopped.
  bool ScriptStop();
  void LogToggle();        // ScriptLogEnabled, stored at once; not while a run goes
  void LogsDelete();       // every "ScriptLog_*.txt" of the data folder
  void StakesCheckLine();  // StakesCheckOnLine, stored at once
  // The random choices of result mode RAND; the same seed repeats a run.
  void SeedScriptRandom(uint64_t seed) { ScriptRandom_.seed(seed); }
  // The faster handling of lists that start from the full set; the same
  // results either way (switched off only to compare).
  void SetScriptSpeedUps(bool on) { ScriptSpeedUps_ = on; }

 private:
  void RequireScriptIdle() const;
  TScriptHost ScriptHost();
  TScriptRunState ScriptState_;
  TScriptLog ScriptLog_{Relay_};
  TStatViewState StatView_;
  std::mt19937_64 ScriptRandom_{std::random_device{}()};
  bool ScriptSpeedUps_ = true;

  // ---- Window (workspace_window.cpp) -------------------------------------------------
  // What the main window keeps besides the data: its switches (stored at
  // once), the configuration dialog's OK, and the placement, sizes and list
  // columns of the window settings file.
 public:
  void ViewColorDraws();       // toggles ColorDraws
  void ViewColorCombs();       // toggles ColorCombs
  void AutoDownload(int mode);  // DownloadDrawsOnStart 0 ask, 1 download, 2 nothing
  void FirstRunDone();          // FirstRun stored as false
  // The spin beside "Исключить тиражи"; written at exit.
  void SetDrawsExclude(int n) { Window_.DrawsExclude = n < 0 ? 0 : n; }
  // A cell of the configuration dialog's segments grid: "" when it holds a
  // segment 1..9 (stored in `segment`), else the message to show (the cell
  // then goes back to 1).
  static std::string CheckSegmentCell(std::string_view text, uint8_t& segment);
  // The configuration dialog's OK: checks every field (EVexaError names the
  // first bad one), stores the record, writes the settings file and, while
  // the full-set comparison is on, recreates the full-set files of the
  // method groups that depend on what changed. A failed write keeps the
  // record in memory changed and throws the write message.
  void EditConfig(const TConfigData& config);
  // The main window's placement as stored, for this screen.
  TRestoredPlacement WindowPlacement(const TScreenMetrics& screen) const;
  // Stored widths (and sort) over the defaults given; missing keys keep them.
  void ReadListColumns(std::string_view list, TListColumns& columns) const;
  struct TWindowExitState {
    TWindowPlacement Placement;
    TScreenMetrics Screen;
    int32_t LeftPanelWidth = 335;
    int32_t FiltersHeight = 127;
    std::vector<std::pair<std::string, TListColumns>> Lists;  // name, columns
  };
  // Written at exit, in one store of the window settings file: the
  // placement, the exit keys of TFormMain and the list columns.
  void SaveWindowState(const TWindowExitState& state);
  // Start-up with DownloadDrawsOnStart 0 asks this (Yes is the default).
  static constexpr const char* DownloadOnStartQuestion =
      "Обновить список тиражей?\r\rДля выполнения обновления необходимо действующее подключение к сети Интернет.";
  static constexpr const char* DrawsFileFilter = "Файлы тиражей (*.csv)|*.csv";
  // "Неделя" is never shown: the command stores TabWeek as false.
  void TabWeek();
  // The web pages the window opens, section WEB of the settings file
  // (nothing there is written by the program; empty: not configured).
  struct TWebPages {
    std::string LotoSite, MainSite, Blog, VideoBlog, Articles, Vk, Ok, AuthorSite, Telegram;
  };
  TWebPages WebPages() const;
  // The window's data folder: the --data-dir value, else VEXA_DATA_DIR, else
  // the program's folder when it is writable, else <xdgDataHome or
  // home/.local/share>/Korvane_6x45, created. Throws EVexaError when that
  // cannot be created.
  static std::filesystem::path ProgramDataDir(const std::string& option, const char* environment,
                                              const std::filesystem::path& programFolder, const char* xdgDataHome,
                                              const char* home);
};


}  // namespace vexa
