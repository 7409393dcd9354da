// TWorkspace owns the working data of one data folder: the draws archive
// and its analysis offset, the settings, the statistics registry, the busy
// counter and the status text. Every command of the main window is an
// operation here with the same name; the window, the `vexa` command and the
// tests all call these.
//
// Files live in the data folder and are named after the program:
// "Korvane_6x45" plus an extension.
//
// Failures: an operation throws EVexaError (the program's message and the
// cause apart) unless its comment names another channel; Open instead
// reports each failure once through the user interface and goes on, as the
// program's start-up does. Rows and indexes are 0-based everywhere.
//
// Threads: the workspace is not thread-safe. One thread at a time runs
// operations (the window's worker, or the caller itself); an operation
// that changes data throws EBusyError while another thread runs one.
// The busy counter (TBusy) may be raised and lowered from any thread.
// While an operation runs, its data belong to it: the const accessors are
// safe to call only from the thread that runs it, or when none runs.
// Everything the engine says goes through the TUserInterface given here,
// from the thread that runs the operation; after an operation the changes
// it made are announced with TUserInterface::Changed.
#pragma once

#include <array>
#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "combs/combs_list.h"

#include "core/draws_archive.h"
#include "core/settings.h"
#include "core/user_interface.h"
#include "export/export_params.h"
#include "export/export_table.h"
#include "export/xlsx_export.h"
#include "update/update.h"
#include "acquire/download.h"
#include "online/http_settings.h"
#include "online/online_settings.h"
#include "online/script_library.h"
#include "online/systems_catalogue.h"
#include "online/proxy.h"
#include "stakes/ratings.h"
#include "stakes/stakes_check.h"
#include "stakes/stakes_file.h"
#include "stakes/tables.h"
#include "stats/full_set.h"
#include "scripts/script_list.h"
#include "scripts/script_runner.h"
#include "scripts/script_text.h"
#include "scripts/systems.h"
#include "stats/stat_info.h"
#include "stats/stat_list.h"
#include "stats/stat_rows.h"
#include "views/graphs.h"
#include "views/grid_selection.h"
#include "views/view_refresh.h"
#include "workspace/start_switches.h"

namespace vexa {

// The data folder: the --data-dir value, else VEXA_DATA_DIR, else the program's folder.
std::filesystem::path ResolveDataDir(const std::string& option, const char* environment,
                                     const std::filesystem::path& programFolder);

// One key of the settings file: section, key, value.
using TConfigRow = std::array<std::string, 3>;

// Settings that one run of a front end overrides without storing them
// (the `vexa` options --sorted, --log, --seed, --no-speedups).
struct TRunOverrides {
  std::optional<bool> SortedDraws;
  std::optional<bool> ScriptLogEnabled;
  std::optional<uint64_t> ScriptSeed;
  bool ScriptSpeedUps = true;  // off only to compare results with the plain path

  static TRunOverrides SortedOnly() {
    TRunOverrides o;
    o.SortedDraws = true;
    return o;
  }
};

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

  const TDrawsArchive& Archive() const { return Archive_; }
  const TStatList& Stats() const { return Stats_; }
  const TMainWindowSettings& Window() const { return Window_; }
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

  // Every key of the settings file with the value in effect (defaults
  // included), then the keys the program does not read, as stored; a
  // password as "***". Throws when the file cannot be read.
  std::vector<TConfigRow> ConfigRows() const;
  // Writes one key, keeping everything else in the file. The values in
  // memory stay those read at start-up.
  void ConfigSet(const std::string& section, const std::string& key, const std::string& value);

  // This run's overrides of stored settings; they are never written.
  void SetRunOverrides(const TRunOverrides& overrides);
  const TRunOverrides& RunOverrides() const { return Overrides_; }

  // ---- Busy counter and status --------------------------------------------
  // While an operation runs the counter is above 0 and every command is
  // disabled. The window raises it on the UI thread before handing an
  // operation to its worker; each operation raises it too. Going up from 0
  // and back to 0 is announced as ChangeBusy (from the thread doing it).
  class TBusy {
   public:
    explicit TBusy(TWorkspace& ws);
    ~TBusy();
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

   private:
    TWorkspace& Ws_;
  };
  bool IsBusy() const { return Busy_.load() > 0; }
  int BusyCount() const { return Busy_.load(); }
  // True while an operation runs on some thread.
  bool OperationRunning() const { return OperationDepth_.load() > 0; }
  void SetStatus(const std::string& text);
  const std::string& StatusText() const { return Status_; }

  // ---- Draws ------------------------------------------------------------------
  // The spin "Смещение назад:": 0 or a draw of the archive, else throws.
  void SetDrawsOffset(int offset);
  int DrawsOffset() const { return Archive_.DrawsOffset(); }
  // The sorted display of draws in effect (the setting or this run's override).
  bool SortedDraws() const { return Overrides_.SortedDraws.value_or(Window_.SortedDraws); }
  // Replaces the archive with `count` generated sample draws (seeded);
  // refuses a non-empty archive unless `force`.
  void DrawsDemo(int count, uint64_t seed, bool force);
  // Toggles the sorted display of the draws and stores the setting at once.
  void DrawsSorted();
  // The draw dialog's result (see MakeEnteredDraw for its checks).
  void DrawsAdd(const TDraw& draw);
  // row: 0-based row of the draws list, 0 the newest draw.
  void DrawsEdit(int row, const TDraw& draw);
  // The draws with these numbers; a number not found deletes nothing.
  void DrawsDel(const std::vector<int>& numbers);
  // Returns the draws added; a stop (EStopped) adds none.
  int DrawsImport(const std::filesystem::path& file);
  int DrawsExport(const std::filesystem::path& file);

  // ---- Online: results download and proxy ----------------------------------------
  const THttpSettings& Http() const { return Http_; }
  // New draws from the results site (options.BaseUrl, else the HTTP setting),
  // month by month; then the stakes check. Throws when no site is configured;
  // a failing month is asked about and shown, and ends the run with
  // Completed false. The wait window's texts (proxy attempts) come as
  // progress with the wait text first and the detail after "\r\r".
  TDownloadResult DrawsDownload(TDownloadOptions options = {});
  // The proxy dialog's OK; false when the settings file could not be written (shown).
  bool EditProxy(const TProxy& values);

  // ---- Combinations -------------------------------------------------------------
  const TCombsList& Combs() const { return Combs_; }
  // Start-up step: room for all combinations in the list and its undo copy,
  // then the list from the default generation parameters. Every front end
  // runs it before a command that works on the list, so that such a command
  // starts from the list the program has after start-up.
  void CombsInit();
  // Failure channel of the four below: the message is shown, the result is
  // false, and the list is as it was.
  // A new list from `params`; with makeDefault they become the defaults and
  // are written to the settings file first.
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

  // ---- Statistics view ------------------------------------------------------------
  // The method whose code is `code`; throws when none is registered.
  int StatMethodIndex(const std::string& code) const;
  // The statistics list of method i over the window ending at the current
  // offset (windowLength 0: DrawsStatLen), sorted or not as SortedDraws();
  // with `prefetch` the full-set comparison columns too (a damaged or
  // missing comparison file throws).
  TStatRows StatRecalculate(int methodIndex, int windowLength, bool prefetch);
  // The rows whose value a user named: by its text, else, for a method that
  // takes typed values, by the value a plain integer (or the start of the
  // value's text) reads as. Throws naming the first text that selects nothing.
  TStatDrawArray StatSelectValues(int methodIndex, const TStatRows& rows, const std::vector<std::string>& texts) const;
  // The graph value of each draw of the window: (draw number, value).
  std::vector<std::pair<int32_t, int64_t>> StatGraph(int methodIndex, int windowLength) const;
  // The information dialog's properties of a draw (by its number) or of a combination.
  TStatInfo DrawsInfo(int drawNumber) const;
  TStatInfo CombsInfo(const TComb& comb) const;

  // ---- Full-set files -------------------------------------------------------------
  // Counting a file passes the list through the undo copy: the list comes
  // back unchanged and an earlier undo copy is lost.
  TFullSetPlace FullSetPlace() const { return {DataDir_, ProgramBaseName}; }
  // Toggles the comparison with the full set of combinations, stored at once.
  void DrawsStatePrefetchsEnabled();
  std::optional<TFullSet> OpenFullSetFile(int methodIndex);
  std::vector<TFullSetCreated> RefreshFullSetFiles(bool force, unsigned groups);
  // The files of these methods (all computable ones when empty), missing
  // ones only unless `force`. A method that takes no part throws before any
  // file is made; a failed file is shown and listed with Failed.
  std::vector<TFullSetCreated> FullSetBuild(const std::vector<int>& methods, bool force);

  // ---- Stakes (workspace_stakes.cpp) -------------------------------------------------
  // Commands that change stakes end with the stakes check. Questions go to
  // the user interface; dialog input comes in as records and is checked
  // here, a refusal coming back with the message and the field to focus.
  const TStakesFile& Stakes() const { return Stakes_; }
  const TRatings& Ratings() const { return Ratings_; }
  const TTablesArray& Tables() const { return Tables_; }
  TStakeLogOptions StakeLog() const;
  // The manual stake dialog's record: kind 1 for the next draw, the focused combination.
  TStakeRec StakePrefill(const TComb* focused) const;
  // maxNumbers 6 for the dialog; up to 8 for the command line.
  TStakeInputCheck StakeAdd(const TStakeRec& prefilled, const TManualStakeInput& input, int maxNumbers = MainCount);
  // One stake per combination, in order; stops at the first failure.
  TStakeInputCheck StakeAddMulti(const TCombsArray& combs, const TMultiStakeInput& input);
  // rows: 0-based records of the file. Asks first; returns how many went.
  int StakeDel(const std::vector<int>& rows);
  int StakeFilter(TStakeCondition condition, int value);
  // Asks, empties the file, then rebuilds the ratings (RatingsRefresh asks again).
  bool StakeClear();
  // Returns how many stakes were checked.
  int StakesCheckManual();
  void LogStakes();  // toggles StakesLogEnabled, stored at once
  void LogStakesDelete();
  void StakesScroll();  // toggles StakesScrollEnabled, stored at once

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
  // selected: the selected combinations, rows their 0-based rows in the list.
  TTableInputCheck TablesAdd(const TTableInput& input, const TCombsArray& selected, const std::vector<int>& rows);
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

  // An operation that changes data: refuses while another thread runs one,
  // raises the busy counter, and announces `changes` when the outermost
  // operation ends (also when it throws: part of the data may have changed).
  class TOperation {
   public:
    TOperation(TWorkspace& ws, TChanges changes) : Claim_(ws, changes), Busy_(ws) {}
    TOperation(const TOperation&) = delete;
    TOperation& operator=(const TOperation&) = delete;

   private:
    // Taken before the busy counter goes up, so that a refused operation
    // touches nothing of the one that runs; announces the changes on release.
    class TClaim {
     public:
      TClaim(TWorkspace& ws, TChanges changes);
      ~TClaim();
      TClaim(const TClaim&) = delete;
      TClaim& operator=(const TClaim&) = delete;

     private:
      TWorkspace& Ws_;
    };
    TClaim Claim_;
    TBusy Busy_;
  };
  friend class TOperation;
  // Throws EBusyError while another thread runs an operation.
  void RequireIdle() const;
  void WriteWindowFlag(const char* key, bool value, bool& field);
  TMainWindowSettings RunSettings() const;

  // Passes everything to the front end and keeps the status text.
  class TRelay : public TUserInterface {
   public:
    explicit TRelay(TWorkspace& ws) : Ws_(ws) {}
    void Progress(const TProgress& progress) override;
    void ShowMessage(TMessageKind kind, std::string_view text, std::string_view cause) override {
      Ws_.Ui_.Message(kind, text, cause);
    }
    bool Ask(std::string_view text, std::string_view title, bool noIsDefault) override {
      return Ws_.Ui_.Ask(text, title, noIsDefault);
    }
    bool StopRequested() override { return Ws_.Ui_.StopRequested(); }
    void Changed(TChanges what) override { Ws_.Ui_.Changed(what); }

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
  std::atomic<int> Busy_{0};
  int Failures_ = 0;
  std::string Status_;
  TRunOverrides Overrides_;
  mutable std::mutex OperationMutex_;
  std::atomic<int> OperationDepth_{0};
  std::thread::id OperationThread_;
  TChanges PendingChanges_ = 0;

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

 private:
  void RequireScriptIdle() const;
  TScriptHost ScriptHost(TMainWindowSettings& settings);
  TScriptRunState ScriptState_;
  TScriptLog ScriptLog_{Relay_};
  TStatViewState StatView_;
  std::mt19937_64 ScriptRandom_{std::random_device{}()};

  // ---- Analysis views (workspace_views.cpp) ---------------------------------------------
  // The card, the layout with its comparison lists, the graphs tab, the
  // repeats analysis and the sums distribution of the archive as it is, at
  // the current DrawsOffset; and the card and layout filters. Each build
  // raises the busy counter and shows its progress text. Lazy rebuilds
  // (cache keys) belong to the window, which knows what it shows.
 public:
  TDrawsCard BuildCard();
  // ColorCard, ColorCardSequences and the channel size of the settings.
  TCardColorOptions CardColorOptions() const;
  TLayoutGrid BuildLayout(int length);  // length: edLayoutLen
  TCompareLists BuildCompareLists(const TCompareLengths& lengths);
  // The graphs tab's method list: the methods with a graph, in registry order.
  std::vector<int> DrawsGraphMethods() const;
  // Throws NoMethodSelectedFormat for no method, and for a method without a graph.
  TDrawsGraph DrawsGraph(int methodIndex, int length, bool showMarks);
  // Throws when the archive is empty (the command is disabled then).
  TRepeatsAnalysis AnalyzeRepeats(int drawsLength, int deep);
  TSumsDistribution TotalSumCombs();
  void SeedViewsRandom(uint64_t seed) { ViewsRandom_.seed(static_cast<std::mt19937::result_type>(seed)); }
  // The views' switches (workspace_view_tabs.cpp), each stored at once:
  // ColorCard, ColorCardSequences, LayoutGradient and the tabs' visibility.
  void ViewColorCard();
  void ViewColorCardSequences();
  void ViewShemaGradient();
  void TabGraps();
  void TabCard();
  void TabLayout();
  // The window lengths of the views and the comparison panel's height, kept
  // for the exit store (each length at least 1).
  struct TViewLengths {
    int32_t LayoutLen = 100;
    TCompareLengths Compare = DefaultCompareLengths;
    int32_t DrawsGraphLen = 100;
    int32_t LayoutCompareHeight = 257;
  };
  TViewLengths ViewLengths() const;
  void SetViewLengths(const TViewLengths& lengths);
  // The repeats window's lengths and chart height (section TFormRepeats);
  // the store throws the write message and keeps the old file.
  TRepeatsWindowSettings RepeatsWindow() const;
  void SaveRepeatsWindow(const TRepeatsWindowSettings& settings);
  // Columns (and sort) of lists of the main window, section TFormMain, in
  // one store; the write message is thrown and the old file stays.
  void SaveListsColumns(const std::vector<std::pair<std::string, TListColumns>>& lists);
  // The sums distribution's graph window keeps only its placement (section TFormGraph).
  static constexpr const char* GraphWindowSection = "TFormGraph";
  TRestoredPlacement GraphWindowPlacement(const TScreenMetrics& screen) const;
  void SaveGraphWindowPlacement(const TWindowPlacement& placement, const TScreenMetrics& screen);
  // The selection on the grid shown; it must lie in columns 1 .. 45
  // (GridSelectionOutsideError). Saves the undo copy, then filters with
  // TstValues through ApplyFilter and logs "Карта" / "Схема" with the
  // numbers; a selection without numbers throws NoGridValuesError and
  // leaves the list as it was.
  void CardFilter_Include(const TDrawsCard& card, const TGridRect& selection) { CardFilter(card, selection, false); }
  void CardFilter_Exclude(const TDrawsCard& card, const TGridRect& selection) { CardFilter(card, selection, true); }
  void LayoutFilter_Include(const TLayoutGrid& grid, const TGridRect& selection) {
    LayoutFilter(grid, selection, false);
  }
  void LayoutFilter_Exclude(const TLayoutGrid& grid, const TGridRect& selection) {
    LayoutFilter(grid, selection, true);
  }
  // The same from the selected cells' texts as the grid holds them
  // (columns left to right, each top to bottom): the command line's form.
  void CardFilterCells(const TGridCells& cells, bool del) { GridFilter(false, cells, del); }
  void LayoutFilterCells(const TGridCells& cells, bool del) { GridFilter(true, cells, del); }

 private:
  void CardFilter(const TDrawsCard& card, const TGridRect& selection, bool del);
  void LayoutFilter(const TLayoutGrid& grid, const TGridRect& selection, bool del);
  void GridFilter(bool layout, const TGridCells& cells, bool del);
  std::mt19937 ViewsRandom_{std::random_device{}()};

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
  // The online script library panel's height; written at exit.
  void SetScriptLibraryHeight(int h) { Window_.ScriptLibraryHeight = h < 0 ? 0 : h; }
  // The statistics tab's window length (at least 1); written at exit.
  void SetDrawsStatLen(int n) { Window_.DrawsStatLen = n < 1 ? 1 : n; }
  // Interface languages (workspace_languages.cpp), modules beside `program`.
  // The language in use: the built-in one with "no-language", when Language
  // names no known locale or when its module is missing.
  int32_t CurrentLanguage(const std::filesystem::path& program) const;
  // Stores Language; EVexaError "Языковый модуль ..." when the module is
  // missing. The caller then restarts the program.
  void ChooseLanguage(int32_t lcid, const std::filesystem::path& program);
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
  // Columns (and sort) of a list of another window, in that window's
  // section of the window settings file (workspace_window_lists.cpp).
  void ReadWindowListColumns(std::string_view window, std::string_view list, TListColumns& columns) const;
  void SaveWindowListColumns(std::string_view window, std::string_view list, const TListColumns& columns);
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

  // ---- Statistics tab (workspace_stats_view.cpp) ------------------------------------
  // The tab's method list, its options, the favourites manager, the
  // shredding formulas and the method help pages.
 public:
  // The favourite available methods in registration order, or by their
  // list caption when the registry is Ordered.
  std::vector<int> StatMethodList() const;
  // Toggles ShowTotalLine, stored at once; only while PrefetchsEnabled.
  void DrawsStatShowTotalLine();
  struct TFavouriteGroup {
    std::string Heading;       // GroupHeading of the group
    std::vector<int> Methods;  // available methods, registration order
  };
  // The manager's tree: groups in the order of their first method.
  std::vector<TFavouriteGroup> FavouriteTree() const;
  struct TFavouritesEdit {
    std::vector<std::pair<int, std::string>> Names;  // method, node text
    std::vector<int> Checked;                        // checked methods
    bool Ordered = false, ShowGroupName = true, ShowMethodFlags = true;
  };
  // The manager's OK: names (a default name in any case is no custom name),
  // favourites (none checked: all), options; the favourites file written
  // and the method lists rebuilt.
  void FavouritesApply(const TFavouritesEdit& edit);
  // Every method a favourite again; custom names stay.
  void FiltersReset();
  // The custom names of a names file (".flt"); false when it failed (shown).
  bool FavouritesNamesImport(const std::filesystem::path& file);
  // Every method's display name, with these node texts applied first, to
  // a names file; then the custom names of the favourites file come back.
  bool FavouritesNamesExport(const std::filesystem::path& file,
                             const std::vector<std::pair<int, std::string>>& names);
  // "" when the shredding formula can be evaluated, else the message.
  static std::string CheckShreddingFormula(int number, std::string_view formula);
  // The shredding dialog's OK: checks the formulas and digits (EVexaError
  // names the first bad one), writes the settings file, recreates group
  // 12's full-set files while the comparison is on, rebuilds the lists.
  void EditShredding(const TShredding& shredding);
  // The help folder: set at start-up by the front end (empty: no help).
  void SetHelpFolder(const std::filesystem::path& folder);
  // The page of method i in the help folder; "" when there is none.
  std::string StatHelpPage(int methodIndex) const;

 private:
  void RebuildStatLists();
  std::filesystem::path HelpFolder_;
  // ---- Export (workspace_export.cpp) ------------------------------------------------
  // The seven tables as the window shows them, for the spreadsheet export.
  // The window may put its own column widths and selection into the table;
  // the `vexa` command takes them as they come. Parameters are stored in the
  // settings file, section TExportTable::SectionName().
 public:
  TExportTable ExportDrawsTable() const;
  TExportTable ExportCombsTable() const;
  // The statistics list of method i (StatRecalculate, windowLength 0: DrawsStatLen).
  TExportTable ExportStatsTable(int methodIndex, int windowLength = 0);
  TExportTable ExportRatingsTable() const;
  TExportTable ExportStakesTable() const;
  TExportTable ExportCardTable();
  TExportTable ExportLayoutTable(int length);  // length 0: LayoutLen
  // Opening the parameters dialog: the initial values, then, with
  // allowSave, those stored in the settings file (restore mode).
  TExportParams ExportParamsFor(const TExportTable& table, bool allowSave = true);
  // The dialog's OK with saving allowed: stores the parameters with
  // RestoreParameters. Throws ExportSaveErrorFormat.
  void ExportStoreParams(const TExportTable& table, const TExportParams& params);
  // "Загрузить из файла" / "Сохранить в файле": an ".exp" file, file mode.
  void ExportLoadParamsFile(const std::filesystem::path& file, const TExportTable& table, TExportParams& params);
  void ExportSaveParamsFile(const std::filesystem::path& file, const TExportTable& table,
                            const TExportParams& params);
  // Writes the workbook (WriteXlsxExport); header: an optional line above the title.
  TExportResult ExportToXlsx(const TExportTable& table, const TExportParams& params,
                             const std::filesystem::path& file, const std::string& header = {});
  // The workbook an export of the window writes: "<data folder>/Excel/<sheet>
  // <yyyy-mm-dd hh-mm-ss>.xlsx" (workspace_update.cpp), a new name each time.
  std::filesystem::path ExportWorkbookFile(const TExportParams& params) const;

  // ---- Self-update (workspace_update.cpp) -------------------------------------------
  // The configuration's address: [Update] ConfigUrl of the settings file,
  // else the project site (WEB MainSite) + UpdateConfigPath; "" for none.
  std::string UpdateConfigAddress() const;
  // CheckForUpdates (TUpdater) for the running program file. Without an
  // address a silent check does nothing (UpdateNothing), else the search
  // error. confirm is called on this thread.
  int CheckForUpdates(const std::filesystem::path& programFile, bool silent, int languageId,
                      const std::function<bool(const TUpdateOffer&)>& confirm);
  // Toggles AutoUpdates and writes it to the window settings file at once.
  void AutoSelfUpdate();

  // ---- Online services (workspace_online.cpp) -----------------------------------------
  // The systems catalogue with its local store and system play, and the
  // online script library. Requests run on the caller's thread (the
  // window's worker) inside an operation. Failures: each operation throws
  // EVexaError with its command's message and the cause, unless its
  // comment says the failures are shown through the user interface.
  // Settings: section Online of the settings file (online/online_settings.h).
 public:
  const TOnlineSettings& Online() const { return Online_; }
  // Both the name and the e-mail are set (the window asks for them once,
  // before the first publish).
  bool HasUserIdentity() const;
  // Stores both, trimmed; an empty one throws (UserNameMissingMessage,
  // UserMailMissingMessage) and nothing is stored.
  void SetUserIdentity(std::string_view name, std::string_view mail);
  static constexpr const char* UserNameMissingMessage = "Имя пользователя должно быть указано обязательно!";
  static constexpr const char* UserMailMissingMessage = "Адрес электронной почты должен быть указан обязательно!";
  // Start-up step after the data: unless loadonly, fullrecreate or
  // fullrefresh, the systems list when the tab is shown, then the library
  // list when its panel is shown. A service without an address is skipped
  // without a message (the systems list gets its placeholder row).
  void OpenOnline();

  // The catalogue list as the last refresh left it (rows of the tab).
  const std::vector<TSystemInfo>& Systems() const { return Systems_; }
  // Toggles the tab (SystemsEnabled, stored at once): shown reloads the
  // list, hidden empties it. Failures of the reload are shown.
  void SystemsOn();
  // Reloads the list; outdated local systems are downloaded again. No
  // "<result>" gives the placeholder row. Failures are shown
  // (SystemsListErrorMessage; a re-download SystemDownloadErrorFormat) and
  // the rows read so far stay; returns false when one was shown.
  bool SystemsRefresh();
  // Downloads these systems of the list, in the list's order; each failure
  // is shown (SystemDownloadErrorFormat) and the others go on. An id not in
  // the list throws before anything. Returns how many were stored.
  int SystemsDownload(const std::vector<int32_t>& ids);
  // A system of the list with its combinations (the properties dialog);
  // throws SystemPropErrorMessage.
  TSystemData SystemData(int32_t id);
  // A new own system: author and mail from the user identity.
  TSystemData SystemNew() const;
  // Publishes a new system (id 0 is sent); returns its row in Systems().
  // Throws SystemSaveErrorFormat / SystemAddErrorMessage.
  int SystemsAdd(const TSystemData& data);
  // Saves an own system and replaces its row; someone else's throws
  // SystemNotOwnEditMessage. The local file is not touched.
  void SystemsProp(const TSystemData& data);
  // Someone else's system throws SystemNotOwnDeleteMessage; then asks
  // SystemDeleteQuestionFormat (No is the default). Deleted: the row and
  // the local file go. False when the user said No or the service did not
  // confirm.
  bool SystemsDel(int32_t id);

  // System play: the distinct numbers of the list are the player's N
  // numbers, expanded by the local system for N into stakes of kind 4.
  struct TSystemPlayDraft {
    bool Ok = false;  // false: no system (its message was shown)
    bool Filter = false;
    TByteArray Numbers;
    TSystemExpansion System;
    TMultiStakeInput Input;  // the multi-stake dialog's start values
  };
  // Steps up to the dialog: numbers, expansion, next draw, count 1 and the
  // comment "Системная игра для %d чисел [вся система]: %s" (or
  // "[комбинации]" with filter). Throws for an empty list or no stakes file.
  TSystemPlayDraft SystemPlayPrepare(bool filter);
  // The dialog's OK: one stake per expanded combination (sorted; with
  // filter only those in the list), stopping at the first that cannot be
  // added; then the stakes check. added: how many were appended.
  TStakeInputCheck SystemPlay(const TSystemPlayDraft& draft, const TMultiStakeInput& input, int* added = nullptr);
  // Both steps with the dialog's start values (the command line).
  int SystemStakeAll() { return PlaySystemDirect(false); }
  int SystemStakeFilter() { return PlaySystemDirect(true); }

  // The library list as the last refresh left it.
  const std::vector<TScriptInfo>& Library() const { return Library_; }
  // The filter item in effect (ScriptLibraryFilter, 0..7).
  int ScriptLibraryFilterIndex() const;
  // Reloads the list with filter item `filterIndex` (kept as
  // ScriptLibraryFilter, written at exit), or the one in effect. Empties it
  // while the panel is hidden. Failures are shown (LibraryListErrorMessage)
  // and the rows read so far stay; returns false when one was shown.
  bool ScriptLibraryRefresh(std::optional<int> filterIndex = {});
  // Toggles the panel (ScriptLibraryOn, stored at once) and reloads.
  void ScriptLibrary();
  // The script replaces the current one as when opening a script file. A
  // script that is not compatible, or a failure, throws
  // LibraryDownloadErrorMessage and the current script stays.
  void ScriptLibraryDownload(int32_t id);
  // The same script written to a script file instead.
  void ScriptLibraryDownloadTo(int32_t id, const std::filesystem::path& file);
  // Publishing starts from this record: the user's name, the built-in
  // language, not universal, public.
  TScriptData ScriptLibraryNewData() const;
  // The dialog's OK: title and author trimmed, the checks in order (title,
  // the title check against the service, author); a refusal comes back
  // with the field to focus and nothing is sent. Then publishes the
  // current script (an empty one throws LibraryEmptyScriptMessage) and adds
  // or updates the row. A failed request throws LibrarySaveErrorMessage.
  TScriptDataCheck ScriptLibraryUpload(const TScriptData& data);
  // The same for a row of the list (data.Id): only an editable one.
  TScriptDataCheck ScriptLibraryReplace(const TScriptData& data);
  // The title check alone: a failing check is shown
  // (LibraryTitleCheckErrorMessage) and counts as taken.
  bool ScriptLibraryTitleFree(int32_t id, std::string_view title);
  // Asks LibraryDeleteQuestionFormat (No is the default); only an
  // editable row. False when not deleted.
  bool ScriptLibraryDelete(int32_t id);
  // value 1..5 a rating, 0 removes it, -1 hides the script; then reloads
  // the list. Throws LibraryRateErrorMessage.
  void ScriptLibraryRate(int32_t id, int value, std::string_view notes);
  void ScriptLibraryHide(int32_t id) { ScriptLibraryRate(id, -1, {}); }
  void ScriptLibraryRate0(int32_t id) { ScriptLibraryRate(id, 0, {}); }
  // Throws LibraryRatesErrorMessage.
  TScriptRates ScriptLibraryRates(int32_t id);

 private:
  TOnlineService CatalogueService();
  TOnlineService LibraryService();
  TOnlineService ServiceOf(const std::string& baseUrl, const char* urlKey);
  int SystemIndex(int32_t id) const;
  int LibraryIndex(int32_t id) const;
  void MarkSystem(TSystemInfo& info) const;
  // Stores one system of the list; throws the cause.
  void DownloadSystemRow(int index);
  int PlaySystemDirect(bool filter);
  TScriptDataCheck PublishScript(const TScriptData& data, bool replace);
  std::string FetchLibraryScript(int32_t id);
  TOnlineSettings Online_;
  std::vector<TSystemInfo> Systems_;
  std::vector<TScriptInfo> Library_;
};


}  // namespace vexa
