// The settings records and the two settings files that keep them.
//
// Settings file "Korvane_6x45.ini" (TIniFile form, created with mode 0600
// because it holds the proxy password as plain text):
//   [GLOBAL]  MatrixCols=5  MatrixSegments=<45 digits>  ChannelSize=5
//             CombsGenerateMode=0  CombsGenerateParameters=
//   [STAKES]  Cost=0  MaxStake=6  Profits=<n>
//             Profit_<i>_Overlap=0  Profit_<i>_Profit=0      i = 0 .. n-1
//   [CDL]     Count=0  Deviation=-1  Level=1  UsePercents=0  UseAbsValues=0
//   [SHREDDING] Formula1..Formula3, Formula1Digits..Formula3Digits
//   [PROXY]   ProxyMode  ProxyServer  ProxyPort=80  ProxyUsername  ProxyPassword
// plus one "EXPORT_EXCEL_<FORM>.<LIST>" section per exported list, which
// the export code reads and writes through TIniFile itself.
// Money ("Cost", "Profit_<i>_Profit") is a decimal in the locale's notation
// on file and an int64 of 1/10000 in memory, rounded to nearest.
//
// Window settings file "Korvane_6x45.frm": one section per window class
// ("TFormMain", "TFormRepeats", ...) with its placement, list columns and,
// for the main window, its view and behaviour switches.
//
// Every function opens the file, loads all of it and, for a write, stores all
// of it at once; nothing is cached, and sections and keys the program does
// not know survive. A missing file reads as an empty one. Reads fill the
// record from the defaults up; on a failure the record is left as it was.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "core/ini_file.h"

namespace vexa {

inline constexpr const char* SettingsFileExt = ".ini";
inline constexpr const char* WindowSettingsFileExt = ".frm";
inline constexpr const char* FavouritesFileExt = ".flt";
// The settings file holds a password: only its owner may read it.
inline constexpr unsigned SettingsFileMode = 0600;

inline constexpr const char* ConfigReadErrorFormat = "Ошибка чтения файла конфигурации!\r\r%s";
inline constexpr const char* ConfigWriteErrorFormat = "Ошибка записи в файл конфигурации!\r\r%s";
inline constexpr const char* WindowSettingsReadErrorFormat = "Ошибка загрузки параметров программы!\r\r%s";
inline constexpr const char* WindowSettingsWriteErrorFormat = "Ошибка сохранения параметров программы!\r\r%s";
inline constexpr const char* ConfigLoadingStatus = "Загрузка файла конфигурации...";
inline constexpr const char* ConfigSavingStatus = "Сохранение файла конфигурации...";

// ---- Settings file ------------------------------------------------------

// Segment 1..9 of each number 1..45 (0 when the text said "0").
using TMatrixSegments = std::array<uint8_t, MaxNumber>;

// Every number in segment 1.
constexpr TMatrixSegments DefaultMatrixSegments() {
  TMatrixSegments s{};
  for (auto& v : s) v = 1;
  return s;
}

struct TProfitRow {
  uint8_t Overlap = 0;  // matched main numbers
  int64_t Profit = 0;   // prize, 1/10000 of the currency
  bool operator==(const TProfitRow&) const = default;
};
using TProfitRows = std::vector<TProfitRow>;

// A stored row count above this is taken as this many rows.
inline constexpr int32_t MaxProfitRows = 256;

// The global analysis and stake settings.
struct TConfigData {
  int32_t MatrixCols = 5;   // 1..45
  int32_t ChannelSize = 5;  // 3..45
  int64_t Cost = 0;         // 1/10000 of the currency
  int32_t MaxStake = 6;
  TProfitRows Profits;
  TCdl Cdl;
  TMatrixSegments MatrixSegments = DefaultMatrixSegments();
};

// Position i of the text is the segment of number i+1: a digit gives its
// value, a missing position or any other character gives 1.
TMatrixSegments MatrixSegmentsFromText(std::string_view text);
// 45 digits; a value outside 0..9 is written as 1 so the positions stay.
std::string MatrixSegmentsToText(const TMatrixSegments& segments);

// Money as the file holds it. False when the value does not fit in int64.
bool TryFloatToMoney(long double value, int64_t& money);
long double MoneyToFloat(int64_t money);
// Sums and products of money saturate at the int64 limits instead of wrapping.
int64_t MoneyAdd(int64_t a, int64_t b);
int64_t MoneyMul(int64_t a, int64_t b);

struct TShredding {
  std::array<std::string, 3> Formulas{"(n1+n2+n3)/(n4+n5+n6)", "(n4+n5+n6)/(n1+n2+n3)", "(n1+n3+n5)/(n2+n4+n6)"};
  std::array<uint8_t, 3> Digits{2, 2, 2};  // 1..5
};

struct TGenerateParams {
  uint8_t Mode = 0;
  std::string Parameters;  // at most 255 characters
};
inline constexpr size_t GenerateParametersMaxLen = 255;

inline constexpr int32_t ProxyModeNone = 0;
inline constexpr int32_t ProxyModeAuto = 1;
inline constexpr int32_t ProxyModeManual = 2;

struct TProxy {
  int32_t Mode = ProxyModeNone;
  std::string Server;
  int32_t Port = 80;
  std::string Username;
  std::string Password;
};

// Stored values outside the ranges noted on the fields read as the default:
// such a value never came from the dialogs and would break the computations.

// Read functions on a loaded file never throw; the file versions throw
// EVexaError with ConfigReadErrorFormat and leave the record untouched.
void ReadConfig(const TIniFile& ini, TConfigData& config);
void ReadConfig(const std::filesystem::path& file, TConfigData& config);
void ReadShredding(const TIniFile& ini, TShredding& shredding);
void ReadShredding(const std::filesystem::path& file, TShredding& shredding);
void ReadGenerateParams(const TIniFile& ini, TGenerateParams& params);
void ReadGenerateParams(const std::filesystem::path& file, TGenerateParams& params);
// Mode: the stored value when the key exists (anything but 0, 1, 2 acts as
// 0); without the key 2 when a server is given, else 0.
void ReadProxy(const TIniFile& ini, TProxy& proxy);
void ReadProxy(const std::filesystem::path& file, TProxy& proxy);

// Write functions change the loaded file; the file versions also store it
// and throw EVexaError with ConfigWriteErrorFormat (the old file stays).
// GLOBAL MatrixCols, MatrixSegments, ChannelSize; STAKES; CDL; then the rows.
void WriteConfig(TIniFile& ini, const TConfigData& config);
void WriteConfig(const std::filesystem::path& file, const TConfigData& config);
void WriteShredding(TIniFile& ini, const TShredding& shredding);
void WriteShredding(const std::filesystem::path& file, const TShredding& shredding);
void WriteGenerateParams(TIniFile& ini, const TGenerateParams& params);
void WriteGenerateParams(const std::filesystem::path& file, const TGenerateParams& params);
void WriteProxy(TIniFile& ini, const TProxy& proxy);
void WriteProxy(const std::filesystem::path& file, const TProxy& proxy);

// ---- Window settings file -------------------------------------------------

inline constexpr const char* MainWindowSection = "TFormMain";
inline constexpr const char* RepeatsWindowSection = "TFormRepeats";

// Loads the window settings file; throws EVexaError with WindowSettingsReadErrorFormat.
TIniFile LoadWindowSettings(const std::filesystem::path& file);
// Stores it whole; throws EVexaError with WindowSettingsWriteErrorFormat, the old file stays.
void StoreWindowSettings(const TIniFile& ini);

// One key of a window's section, one file access per call.
bool ReadWindowBool(const std::filesystem::path& file, std::string_view window, std::string_view key, bool def);
int32_t ReadWindowInt(const std::filesystem::path& file, std::string_view window, std::string_view key, int32_t def);
void WriteWindowBool(const std::filesystem::path& file, std::string_view window, std::string_view key, bool value);
void WriteWindowInt(const std::filesystem::path& file, std::string_view window, std::string_view key, int32_t value);

// Window placement as the window system reports it.
struct TWindowPlacement {
  int32_t Flags = 0;
  int32_t ShowCmd = 1;
  int32_t PixelsPerInch = 96;
  std::array<int32_t, 4> MinMaxPos{};  // minimised x, y; maximised x, y
  std::array<int32_t, 4> NormPos{};    // left, top, right, bottom
};

struct TScreenMetrics {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t PixelsPerInch = 96;
};

// What a window gets back. Positions come only from a file written at the
// screen's resolution; the key for the screen's size is preferred to the
// plain one. A window the user cannot resize takes only left and top.
struct TRestoredPlacement {
  bool Found = false;  // the section holds a ShowCmd
  int32_t Flags = 0;
  int32_t ShowCmd = 1;
  std::optional<std::array<int32_t, 4>> MinMaxPos;
  std::optional<std::array<int32_t, 4>> NormPos;
};

enum class TShowState { Normal, Minimised, Maximised };
// 2, 6, 7 minimised; 3 maximised; anything else normal.
TShowState ShowStateOf(int32_t showCmd);

// Writes Flags, ShowCmd, PixelsPerInch, MinMaxPos, MinMaxPos_WxH, NormPos, NormPos_WxH.
void SaveWindowPlacement(TIniFile& ini, std::string_view window, const TWindowPlacement& placement,
                         const TScreenMetrics& screen);
TRestoredPlacement RestoreWindowPlacement(const TIniFile& ini, std::string_view window,
                                          const TScreenMetrics& screen);

// Columns of one list or grid: keys "<list>.Column<i>", "<list>.SortType",
// "<list>.GridLines", "<list>.MultiSelect".
struct TListColumns {
  std::vector<int32_t> Widths;                 // one per column
  std::optional<std::array<int32_t, 2>> Sort;  // column, direction; set for a sortable list
  bool GridLines = false;
  bool MultiSelect = false;
};

// withFlags: the list keeps its grid-lines and multi-selection switches.
void SaveListColumns(TIniFile& ini, std::string_view window, std::string_view list, const TListColumns& columns,
                     bool withFlags);
// Takes what is stored and keeps the rest as given (the list's defaults);
// the sort order only when columns.Sort is set.
void RestoreListColumns(const TIniFile& ini, std::string_view window, std::string_view list, TListColumns& columns,
                        bool withFlags);

// The main window's switches and sizes, section TFormMain, with their defaults.
struct TMainWindowSettings {
  // Written at exit.
  int32_t LeftPanelWidth = 335;
  int32_t DrawsExclude = 0;
  int32_t DrawsStatLen = 1000;
  int32_t DrawsStatHeight = 131;
  int32_t DrawsGraphLen = 100;
  int32_t FiltersHeight = 127;
  int32_t LayoutLen = 100;
  int32_t LayoutCompareLen1 = 50;
  int32_t LayoutCompareLen2 = 100;
  int32_t LayoutCompareLen3 = 200;
  int32_t LayoutCompareLen4 = 300;
  int32_t LayoutCompareLen5 = 400;
  int32_t WeekLen = 1000;
  int32_t WeekHeight = 131;
  int32_t LayoutCompareHeight = 257;
  int32_t ScriptLibraryHeight = 223;
  int32_t ScriptLibraryFilter = 2;
  // Written when they change (WriteWindowInt / WriteWindowBool).
  int32_t WeekChartMode = 0;
  int32_t DownloadDrawsOnStart = 0;  // 0 ask, 1 download, else nothing
  int32_t RatingsEffMode = 1;
  int32_t Language = 1033;
  bool WeekChartType = false;
  bool AutoUpdates = true;
  bool ScriptLogEnabled = false;
  bool StakesLogEnabled = false;
  bool StakesScrollEnabled = true;
  bool StakesCheckOnLine = true;
  bool ColorDraws = true;
  bool ColorCombs = true;
  bool ColorCard = true;
  bool ColorCardSequences = true;
  bool LayoutGradient = true;
  bool SortedDraws = false;
  bool PrefetchsEnabled = false;
  bool PrefetchsInit = false;
  bool ShowTotalLine = true;
  bool ScriptLibraryOn = true;
  bool SystemsEnabled = true;
  bool TabGraphs = true;
  bool TabCard = true;
  bool TabLayout = true;
  bool TabWeek = true;
  bool TabTables = true;
  bool FirstRun = false;  // never written true by the program
};

void ReadMainWindowSettings(const TIniFile& ini, TMainWindowSettings& settings);
TMainWindowSettings ReadMainWindowSettings(const std::filesystem::path& file);  // throws the load message
// The keys written at exit, in the order they are written.
void WriteMainWindowExitSettings(TIniFile& ini, const TMainWindowSettings& settings);

struct TRepeatsWindowSettings {
  int32_t GraphHeight = 131;
  int32_t DrawsLength = 100;
  int32_t DrawsDeep = 100;
};

void ReadRepeatsWindowSettings(const TIniFile& ini, TRepeatsWindowSettings& settings);
void WriteRepeatsWindowSettings(TIniFile& ini, const TRepeatsWindowSettings& settings);

}  // namespace vexa
