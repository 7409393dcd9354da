// A selection rectangle on the card or the layout, read as the filter
// procedure wants it: the cells' texts column by column from the left,
// each column from the top.
#pragma once

#include "combs/filter.h"
#include "views/card.h"
#include "views/layout.h"

namespace vexa {

inline constexpr const char* GridSelectionOutsideError = "Выделенный диапазон должен лежать в столбцах 1 - 45!";

// Grid indexes, inclusive; Left <= Right and Top <= Bottom.
struct TGridRect {
  int Left = 1;
  int Top = 1;
  int Right = 1;
  int Bottom = 1;
};

// The card and layout filters need a selection within the number columns
// 1 .. 45 (the card's E1 and E2 are 46 and 47).
bool GridFilterEnabled(const TGridRect& selection);

// Texts of the selected cells; the fixed header row and column and what
// lies outside the grid are left out.
TGridCells CardSelectionCells(const TDrawsCard& card, const TGridRect& selection);
TGridCells LayoutSelectionCells(const TLayoutGrid& grid, const TGridRect& selection);

}  // namespace vexa
