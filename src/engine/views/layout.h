// The number layout (tab "Схема") and its five comparison lists.
//
// Both count the main numbers of a window of L draws that ends at the
// analysis end E = (number of draws - 1) - DrawsOffset, scanning newest
// first (the occurrence table). The layout places each number met at the
// crossing of its count (row, largest first) and the number of the newest
// draw that holds it (column, newest first); numbers sharing a crossing
// share the cell as "12, 31", in order of first meeting. A number of the
// next draw (DrawsOffset > 0) is written "[n]".
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "core/draws_archive.h"
#include "core/game.h"
#include "views/view_color.h"

namespace vexa {

inline constexpr const char* LayoutTabCaption = "Схема";
inline constexpr const char* LayoutBuildStatus = "Построение схемы выпадения номеров...";
inline constexpr const char* CompareCountCaption = "Кол-во";
inline constexpr int CompareListCount = 5;
// Column widths in pixels; a column widens to its widest text + 10.
inline constexpr int LayoutFirstColumnWidth = 50;
inline constexpr int LayoutColumnWidth = 40;
inline constexpr int LayoutTextMargin = 10;

struct TShemaItem {
  int32_t Number = 0;
  int32_t Count = 0;
  int32_t LastDraw = 0;  // number of the newest draw of the window holding it
  bool operator==(const TShemaItem&) const = default;
};
// One element per distinct number, in order of first meeting.
using TShemaArray = std::vector<TShemaItem>;

// The analysis end for this offset; -1 when no draw is analysed.
int AnalysisEnd(const TDrawsArray& draws, int drawsOffset);

// The window of `length` draws ending at index `lastIndex`, newest first,
// each draw's main numbers in stored order. Empty when lastIndex < 0 or
// length < 1. Numbers outside 1..45 (a damaged record) are not counted.
TShemaArray CountOccurrences(const TDrawsArray& draws, int lastIndex, int length);

class TLayoutGrid {
 public:
  // Counts and last draws descending, the cell texts laid out; an empty
  // table gives the header cell alone (1 x 1).
  TLayoutGrid(const TShemaArray& table, const std::bitset<256>& nextDraw);
  TLayoutGrid() : TLayoutGrid({}, {}) {}

  int RowCount() const { return static_cast<int>(Counts_.size()) + 1; }
  int ColumnCount() const { return static_cast<int>(LastDraws_.size()) + 1; }
  const std::vector<int32_t>& Counts() const { return Counts_; }        // row r: Counts()[r - 1]
  const std::vector<int32_t>& LastDraws() const { return LastDraws_; }  // column c: LastDraws()[c - 1]
  // Headers are the decimal counts and draw numbers; (0, 0) and cells
  // outside the grid are "".
  std::string CellText(int row, int column) const;

 private:
  std::vector<int32_t> Counts_;
  std::vector<int32_t> LastDraws_;
  std::vector<std::string> Cells_;  // (row - 1) * (columns - 1) + column - 1
};

// The layout over `length` draws at the archive's offset, with its next-draw
// set (empty while the offset is 0).
TLayoutGrid BuildLayout(const TDrawsArchive& archive, int length);

// Colour of a data cell before selection: lime when its text holds "[";
// else with `gradient` RGB(255 - 155 r/R, 255 - 155 c/C, 100 + 155 r/R)
// rounded half to even (R, C: the grid's row and column counts); else the
// checkerboard of 5 x 5 blocks, light red where exactly one index is "low".
TRgb LayoutCellColor(const TLayoutGrid& grid, int row, int column, bool gradient);

struct TCompareRow {
  int32_t Count = 0;
  std::string Numbers;  // "7, 12, 31"
  bool operator==(const TCompareRow&) const = default;
};

struct TCompareList {
  // The numbers of the window's first and last draw, "4512 - 4561";
  // empty when no draw is analysed.
  std::string Caption;
  std::vector<TCompareRow> Rows;  // highest count first
};

using TCompareLengths = std::array<int32_t, CompareListCount>;
inline constexpr TCompareLengths DefaultCompareLengths{50, 100, 200, 300, 400};
using TCompareLists = std::array<TCompareList, CompareListCount>;

TCompareList BuildCompareList(const TDrawsArchive& archive, int length);
TCompareLists BuildCompareLists(const TDrawsArchive& archive, const TCompareLengths& lengths);

}  // namespace vexa
