// The statistics list: one method over a window of the archive, every value
// of the method as a row of twenty column texts, and the chart data.
//
// Window: Last = newest index - draws offset, First = Last - length + 1
// (not below 0). The rows keep the order in which the method listed its
// values; sorting them is the viewer's business. With a full-set file the
// "Норма" column scales the file's counts to the window (ApplyFullSet).
//
// Texts use the format settings' decimal separator. Not thread-safe: the
// method instance is driven draw by draw.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/game.h"
#include "core/records.h"
#include "core/user_interface.h"
#include "stats/full_set.h"
#include "stats/stat.h"

namespace vexa {

class TStatList;

enum TStatColumn : int {
  scValue,             // "Значение"
  scHits,              // "Количество"
  scHitsPercent,       // "Кол-во в %"
  scExpected,          // "Норма"
  scDeviation,         // "Отклонение"
  scDeviationPercent,  // "Откл-ие в %"
  scAge,               // "Глубина"
  scAgePercent,        // "Глубина в %"
  scWeight,            // "Вес"
  scLastDraw,          // "Посл. тираж"
  scMinGap,            // "Период min"
  scPeriod,            // "Период"
  scMaxGap,            // "Период max"
  scNextByPeriod,      // "Ожд. ПРД"
  scNextStf,           // "Ожд. СТФ"
  scNextKrn,           // "Ожд. КРН"
  scActual,            // "Факт"
  scDiffPeriod,        // "+/- ПРД"
  scDiffStf,           // "+/- СТФ"
  scDiffKrn,           // "+/- КРН"
  StatColumnCount
};

extern const std::array<const char*, StatColumnCount> StatColumnCaptions;

inline constexpr const char* StatCalcStatus = "Анализ тиражей и расчет статистики...";
inline constexpr const char* ActualSeriesTitle = "Фактические данные";
inline constexpr const char* TotalSeriesTitle = "Все возможные комбинации";

using TStatRowTexts = std::array<std::string, StatColumnCount>;

struct TStatRow {
  TStatDraw Rec;  // the row's own copy; a filter takes its Key
  TStatRowTexts Texts;
};

struct TChartPoint {
  double X = 0;
  double Y = 0;
  std::string Label;
};

struct TStatChart {
  std::vector<TChartPoint> Actual;  // ActualSeriesTitle: the window's counts
  std::vector<TChartPoint> Total;   // TotalSeriesTitle: the scaled full-set counts
};

struct TStatRowsParams {
  int WindowLength = 1000;  // below 1 counts as 1
  int DrawsOffset = 0;
  bool Sorted = false;      // DrawsSorted
  bool ShowTotalLine = true;
};

struct TStatRows {
  std::vector<TStatRow> Rows;
  TStatChart Chart;
  bool Comparison = false;  // "Норма" and the deviations come from a full-set file
  int First = 0;
  int Last = -1;
  int Window = 0;  // draws actually used: Last - First + 1
  TStatTotals Totals;
  bool FullSetFailed = false;  // the full-set file was asked for but could not be had (shown already)
};

// What the column texts of one row depend on besides the row itself.
struct TStatRowContext {
  int Window = 0;
  TStatTotals Totals;
  bool Comparison = false;
  TCdl Cdl;
};

// num / den rounded to the nearest integer, a half to the even neighbour.
// Exact for every int64 pair. REQUIRES: den > 0.
int64_t NearestRatio(int64_t num, int64_t den);

// "Норма" of every list element found in the file: Nearest(Count x factor),
// factor = (dmin + dmax) / 2 / fmax when all counts of the file are equal,
// else dmax / fmax. Returns false, changing nothing, when fmax is not above 0.
bool ApplyFullSet(TStatDrawArray& list, const TStatTotals& totals, const TFullSet& fullSet);

// The twenty texts of one row; actual is the "Факт" draw number, -1 for none.
TStatRowTexts StatRowTexts(const std::string& valueText, const TStatDraw& rec, const TStatRowContext& ctx,
                           int actual);

// The computation for one method instance; fullSet is its file or null.
TStatRows RecalculateStat(TCustomStat& stat, const TCdl& cdl, const TStatRowsParams& params,
                          const TFullSet* fullSet);

// The same for registered method i, with the full-set file opened (and
// created when missing) while prefetchsEnabled. Nothing for an empty archive.
TStatRows RecalculateStat(const TStatList& list, int methodIndex, const TStatRowsParams& params,
                          const TFullSetPlace& place, bool prefetchsEnabled, TUserInterface& ui);

// One row as a script reads it. `Reserved` is always 0.
struct TStatValues {
  std::string Value;
  int32_t Reserved = 0;
  std::string Count;             // "Количество"
  std::string CountPercent;      // "Кол-во в %"
  std::string Deviation;         // "Отклонение"
  std::string DeviationPercent;  // "Откл-ие в %"
  std::string Depth;             // "Глубина"
  std::string DepthPercent;      // "Глубина в %"
  std::string Weight;            // "Вес"
  std::string PeriodMin;         // "Период min"
  std::string Period;            // "Период"
  std::string PeriodMax;         // "Период max"
  bool operator==(const TStatValues&) const = default;
};

// All texts empty for a row that does not exist.
TStatValues StatValuesOf(const std::vector<TStatRow>& rows, int row);

}  // namespace vexa
