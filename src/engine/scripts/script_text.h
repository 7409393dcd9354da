// The text forms of a script: lines of nine "|" fields, the options header,
// the filters, and the keyword tables with their display texts.
//
// A script line (also the exchange form of the online script library):
//   options|filter 1|...|filter 7|comment
// An empty field is written as a single space so that every field keeps its
// place; the comment is left out when empty (the line then ends with "|").
// A field is read as the n-th word of the line with "|" as delimiter, runs
// of delimiters counting as one and leading ones skipped, then trimmed: a
// "|" typed inside a comment or a filter therefore splits it.
//
// Options:  START:N#RESULT[#CLR][#NEX]                 FULL:0#RAND, EXCL:3#ALL#CLR#NEX
// Filter:   {T|B}{S|M}{D|F}<sort>#CODE:<lengths>#LEVEL:<value>#STOP:<n>[#<count>:<dev>:<level>:<pct>:<abs>]
//           TSD1#NUMS:10-50;10#LMV:3#SF:1, BMF12#SUMS:20#LNO:#SC:50#1:0.5:0:0:1
// Lengths and level values are in the ParseValueList syntax and kept as
// typed. Keywords are compared without regard to case.
//
// Everything here is a pure function; a parsed filter refers to a method of
// the registry it was parsed with and must not outlive that registry.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/game.h"
#include "stats/stat_list.h"

namespace vexa {

inline constexpr int ScriptFilterCount = 7;
inline constexpr int ScriptFieldCount = 9;
// The text of an index outside its keyword table.
inline constexpr const char* ScriptKeywordError = "# ERROR #";

// ---- Word splitter ---------------------------------------------------------------

// Word n (1-based) of text: runs of delimiters count as one, leading ones
// are skipped, the word is trimmed. "" when there is no such word.
std::string ExtractWord(std::string_view text, int n, std::string_view delimiters);
int WordCount(std::string_view text, std::string_view delimiters);

// ---- Keyword tables ----------------------------------------------------------------

struct TScriptKeyword {
  const char* Keyword;
  const char* Text;       // the dialog's list
  const char* ShortText;  // the script list's "Опции" column; "" where there is none
};

enum TStartCombsType : uint8_t { sctFull, sctExcl, sctCurr };
enum TResultCombsMode : uint8_t { rcmRand, rcmFirst, rcmLast, rcmAll, rcmSysA, rcmSysC, rcmStop, rcmSkip, rcmNone };
// Column letter (L depth, D deviation, C count, W weight, PI/PA/PX periods),
// then M not less, L not more, D/R one of a list; V value, P percentage.
enum TLevelMode : uint8_t {
  lmLNO, lmLMV, lmLMP, lmLLV, lmLLP, lmLDV, lmLDP,
  lmDMV, lmDMP, lmDLV, lmDLP, lmDDV, lmDDP,
  lmCMV, lmCMP, lmCLV, lmCLP, lmCDV, lmCDP,
  lmWMV, lmWLV, lmWDV,
  lmPIM, lmPIL, lmPIR, lmPAM, lmPAL, lmPAR, lmPXM, lmPXL, lmPXR,
  lmLVA
};
enum TStopMode : uint8_t { smSF, smSC, smSZ, smST, smSV, smSP };

inline constexpr size_t StartCombsTypeCount = 3;
inline constexpr size_t ResultCombsModeCount = 9;
inline constexpr size_t LevelModeCount = 32;
inline constexpr size_t StopModeCount = 6;

extern const std::array<TScriptKeyword, StartCombsTypeCount> StartCombsTypes;
extern const std::array<TScriptKeyword, ResultCombsModeCount> ResultCombsModes;
extern const std::array<TScriptKeyword, LevelModeCount> LevelModes;
extern const std::array<TScriptKeyword, StopModeCount> StopModes;

// ScriptKeywordError outside the table.
std::string KeywordOf(std::span<const TScriptKeyword> table, int index);
std::string KeywordText(std::span<const TScriptKeyword> table, int index);
std::string KeywordShortText(std::span<const TScriptKeyword> table, int index);
// Index of the first keyword (table order) equal to word, or with prefix
// set, that begins word; -1 when none does. Case is ignored.
int FindKeyword(std::span<const TScriptKeyword> table, std::string_view word, bool prefix);

inline constexpr const char* ClearStakesFlag = "CLR";
inline constexpr const char* NewOnlyFlag = "NEX";
inline constexpr const char* ExcludeDrawsShortFormat = "Исключить %d тиражей";
inline constexpr const char* ClearStakesShortText = "Удалить ставки";
inline constexpr const char* NewOnlyShortText = "Только новые ставки";
inline constexpr const char* AllStakesShortText = "Все создаваемые ставки";

// ---- Options -----------------------------------------------------------------------

struct TScriptOptions {
  int32_t DrawsExclude = 0;     // N of "EXCL"; kept for the other start lists too
  uint8_t StartCombsType = 0;   // TStartCombsType
  uint8_t ResultCombsMode = 0;  // TResultCombsMode
  bool ClearStakes = false;     // delete all stakes before the line runs
  bool NewOnly = false;         // do not add a stake that already exists

  bool operator==(const TScriptOptions&) const = default;
};

// Never fails: unknown parts leave their defaults (FULL, 0, RAND, no flags).
TScriptOptions ParseScriptOptions(std::string_view text);
// "FULL:0#RAND", "EXCL:3#ALL#CLR#NEX".
std::string FormatScriptOptions(const TScriptOptions& options);
// The "Опции" column: "Исключить 3 тиражей; Все; Удалить ставки; Только новые ставки".
std::string ScriptOptionsText(const TScriptOptions& options);
// Stake origins and logs: N only for EXCL, never CLR: "EXCL:3#ALL#NEX", "FULL#RAND".
std::string FormatScriptOptionsShort(const TScriptOptions& options);

// ---- Filters -----------------------------------------------------------------------

struct TFilterItem {
  bool Used = false;
  std::string StatText;                // the raw second part, shown when the method is unknown
  const TStatMethod* Stat = nullptr;   // none when the text names no registered method
  std::string DrawsLen;                // window lengths, ParseValueList syntax, as typed
  int32_t SortOrder = 0;               // column of the statistic table
  bool BottomUp = false;               // "B" / "T"
  bool MultiSelect = false;            // "M" / "S"
  bool KeepSelected = false;           // "F" / "D"
  uint8_t LevelMode = 0;               // TLevelMode
  std::string LevelValue;              // ParseValueList syntax, as typed
  bool CDLOverride = false;
  long double CoefCount = 0;
  long double CoefDeviation = 0;
  long double CoefLevel = 0;
  bool CoefPercents = false;
  bool CoefAbs = false;
  uint8_t StopMode = 0;                // TStopMode
  int32_t StopValue = 0;

  bool operator==(const TFilterItem&) const = default;
};

// Empty text gives an unused record. The method is the registered one whose
// code equals the second part's text before ":" (case ignored).
TFilterItem ParseFilterItem(std::string_view text, const TStatList& stats);
// "" for an unused record.
std::string FormatFilterItem(const TFilterItem& item);
// The item's own weight coefficients, for TStatList::UseCdl.
TCdl CdlOf(const TFilterItem& item);
// Position of the method in the registry, -1 when it is not there.
int StatIndexOf(const TStatList& stats, const TStatMethod* stat);
// Coefficient text: digits and "-" kept, "." and "," (and the locale's
// separator) as the decimal point, anything else dropped; 0 when unreadable.
long double ReadCoefficient(std::string_view text);
// Shortest fixed decimal form that reads back to the same value, "." as separator.
std::string FormatCoefficient(long double value);

// One concrete instance of a filter: one window length, one condition.
struct TFilterPart {
  bool Used = false;
  const TStatMethod* Stat = nullptr;
  std::string StatText;     // the item's, for the text of an unknown method
  int32_t DrawsLen = 0;
  int32_t SortOrder = 0;
  bool BottomUp = false;
  bool MultiSelect = false;
  bool KeepSelected = false;
  uint8_t LevelMode = 0;
  std::string LevelArg;     // what is tested: one value, or a list joined by ","
  std::string LevelText;    // what texts show: LevelArg, or the list as typed
  bool CDLOverride = false;
  long double CoefCount = 0;
  long double CoefDeviation = 0;
  long double CoefLevel = 0;
  bool CoefPercents = false;
  bool CoefAbs = false;
  uint8_t StopMode = 0;
  int32_t StopValue = 0;

  bool operator==(const TFilterPart&) const = default;
};
// Filters 1..7 of one variant of a line; unused positions are default.
using TFilterSet = std::array<TFilterPart, ScriptFilterCount>;

// A used part with every field but the three variant values from the item.
TFilterPart MakeFilterPart(const TFilterItem& item, int32_t drawsLen, std::string levelArg, std::string levelText);
TCdl CdlOf(const TFilterPart& part);
// One variant: the three letters without the sort column, the single window
// length and LevelText, e.g. "TSD#NUMS:20#CMV:3#SF:1".
std::string FormatFilterPart(const TFilterPart& part);
// The used parts' texts joined by " + ".
std::string FormatFilterSet(std::span<const TFilterPart> parts);

// ---- Lines -------------------------------------------------------------------------

std::string ComposeScriptLine(std::string_view options, std::span<const std::string, ScriptFilterCount> filters,
                              std::string_view comment);
// Field 1, field i + 1 (i = 1..7) and field 9, trimmed; "" when missing.
std::string ScriptLineOptions(std::string_view line);
std::string ScriptLineFilter(std::string_view line, int i);
std::string ScriptLineComment(std::string_view line);
// A line that is empty after trimming separates groups of lines.
bool IsScriptSeparator(std::string_view line);

// The script list view: "Комментарии", "Опции", "Фильтр 1" … "Фильтр 7".
inline constexpr size_t ScriptColumns = 2 + ScriptFilterCount;
extern const std::array<const char*, ScriptColumns> ScriptColumnCaptions;
// Comment, options text, and the filters parsed and written again (so shown
// normalised); all empty for a separator.
std::array<std::string, ScriptColumns> ScriptRow(std::string_view line, const TStatList& stats);
// The status panel: "Строк: %d".
std::string ScriptCountText(int count);

// ---- Lines from ratings --------------------------------------------------------------

inline constexpr const char* RatingLineError = "Строку\r\r%s\r\rневозможно добавить в сценарий!";
inline constexpr const char* RatingLinesStatus = "Генерация новых строк в сценарии...";
// The script line a rating's name (a stake origin "NN.VVV: comment @ options
// + filter + ...") gives: the comment before "@", the options and filters
// as its first fields. Empty when no filter field would be filled.
std::string RatingScriptLine(std::string_view name);

}  // namespace vexa
