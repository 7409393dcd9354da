#include "views/grid_selection.h"

#include <algorithm>

namespace vexa {
namespace {

template <typename Grid>
TGridCells SelectionCells(const Grid& grid, const TGridRect& s) {
  TGridCells cells;
  const int right = std::min(s.Right, grid.ColumnCount() - 1);
  const int bottom = std::min(s.Bottom, grid.RowCount() - 1);
  for (int c = std::max(s.Left, 1); c <= right; ++c) {
    auto& column = cells.emplace_back();
    for (int r = std::max(s.Top, 1); r <= bottom; ++r) column.push_back(grid.CellText(r, c));
  }
  return cells;
}

}  // namespace

bool GridFilterEnabled(const TGridRect& selection) {
  return selection.Left >= 1 && selection.Right <= MaxNumber && selection.Left <= selection.Right &&
         selection.Top <= selection.Bottom;
}

TGridCells CardSelectionCells(const TDrawsCard& card, const TGridRect& selection) {
  return SelectionCells(card, selection);
}

TGridCells LayoutSelectionCells(const TLayoutGrid& grid, const TGridRect& selection) {
  return SelectionCells(grid, selection);
}

}  // namespace vexa
