// Filtering the combinations list with values picked from a statistic.
//
// ApplyFilter rebuilds the list from its undo copy (which the caller has
// just saved), keeping a combination when the statistic's Matches differs
// from the delete flag: keep mode keeps the combinations that have one of
// the values, delete mode drops them. The survivors keep their order; the
// walk runs on several threads and gives exactly the sequential result.
//
// The values come from the statistics list (copies of the selected rows),
// from the draws card or from the number layout (numbers read from the
// selected cells, for TstValues). The collecting rules of the two grids are
// here as functions over the selected cells' texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "combs/combs_list.h"
#include "core/records.h"
#include "stats/stat.h"

namespace vexa {

inline constexpr const char* FilteringStatus = "Фильтрация комбинаций...";
inline constexpr const char* NoGridValuesError = "В выделенном диапазоне нет значений для фильтра!";
inline constexpr const char* NoMethodSelectedFormat = "Не выбран метод расчета статистики (cb: %s)!";
// The statistics view's method list, named in the error above.
inline constexpr const char* StatKindListName = "cbStatType";

// L: the newest archive index minus the draws offset, 0 when that is negative.
int FilterLastIndex(int drawsCount, int drawsOffset);

// Appends a piece to a description: "a; b; c".
void AppendDescription(std::string& text, std::string_view piece);

struct TFilterValues {
  TStatDrawArray Values;
  std::string Description;
};

// The texts of a grid selection: columns left to right, each top to bottom.
using TGridCells = std::vector<std::vector<std::string>>;

// Card: each non-empty cell gives its number (0 when unreadable); a number
// already collected is skipped, a new one adds its cell text to the
// description. Throws EVexaError NoGridValuesError when nothing is collected.
TFilterValues CardFilterValues(const TGridCells& cells);
// Layout: each non-empty cell is split at ","; a piece without "[" and "]",
// trimmed, gives a number as on the card, and the cleaned piece joins the
// description. Empty pieces give nothing. Throws like CardFilterValues.
TFilterValues LayoutFilterValues(const TGridCells& cells);

// Rebuilds `combs` from its undo copy by the statistic and logs the row
// (name, description, new count). Status FilteringStatus. On an error of
// the statistic the list keeps the survivors found so far, no row is
// logged, and the error passes on.
// REQUIRES: the undo copy holds the list to filter (SaveUndo was called).
void ApplyFilter(TCombsList& combs, TCustomStat& stat, const TStatDrawArray& values, bool del,
                 const std::string& name, const std::string& description, int lastIndex, bool sorted,
                 TUserInterface& ui);

}  // namespace vexa
