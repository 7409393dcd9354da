#include "views/layout.h"

#include <algorithm>
#include <cmath>

namespace vexa {
namespace {

// Distinct values in order of first meeting, then descending.
std::vector<int32_t> DistinctDescending(const TShemaArray& table, int32_t TShemaItem::*field) {
  std::vector<int32_t> values;
  for (const TShemaItem& item : table)
    if (std::find(values.begin(), values.end(), item.*field) == values.end()) values.push_back(item.*field);
  std::sort(values.begin(), values.end(), std::greater<>());
  return values;
}

int IndexIn(const std::vector<int32_t>& values, int32_t v) {
  return static_cast<int>(std::find(values.begin(), values.end(), v) - values.begin());
}

// Row or column index of the checkerboard's first block of every ten.
bool Low(int i) { return i <= 95 && i % 10 >= 1 && i % 10 <= 5; }

// Round to nearest, a half to the even neighbour (the default FP mode).
uint8_t RoundChannel(double v) { return static_cast<uint8_t>(std::clamp(std::nearbyint(v), 0.0, 255.0)); }

}  // namespace

int AnalysisEnd(const TDrawsArray& draws, int drawsOffset) {
  return static_cast<int>(draws.size()) - 1 - drawsOffset;
}

TShemaArray CountOccurrences(const TDrawsArray& draws, int lastIndex, int length) {
  TShemaArray table;
  if (lastIndex < 0 || length < 1 || draws.empty()) return table;
  lastIndex = std::min(lastIndex, static_cast<int>(draws.size()) - 1);
  const int first = static_cast<int>(std::max<int64_t>(0, int64_t{lastIndex} - length + 1));
  std::array<int, MaxNumber + 1> at{};  // position in table + 1; 0: not met yet
  for (int i = lastIndex; i >= first; --i) {
    const TDraw& d = draws[static_cast<size_t>(i)];
    for (uint8_t n : d.Nums) {
      if (n < 1 || n > MaxNumber) continue;
      if (at[n] != 0) {
        ++table[static_cast<size_t>(at[n] - 1)].Count;
      } else {
        table.push_back({n, 1, d.Number});
        at[n] = static_cast<int>(table.size());
      }
    }
  }
  return table;
}

TLayoutGrid::TLayoutGrid(const TShemaArray& table, const std::bitset<256>& nextDraw)
    : Counts_(DistinctDescending(table, &TShemaItem::Count)),
      LastDraws_(DistinctDescending(table, &TShemaItem::LastDraw)),
      Cells_(Counts_.size() * LastDraws_.size()) {
  for (const TShemaItem& item : table) {
    const size_t row = static_cast<size_t>(IndexIn(Counts_, item.Count));
    const size_t column = static_cast<size_t>(IndexIn(LastDraws_, item.LastDraw));
    std::string text = std::to_string(item.Number);
    if (item.Number >= 0 && item.Number < 256 && nextDraw.test(static_cast<size_t>(item.Number)))
      text = "[" + text + "]";
    std::string& cell = Cells_[row * LastDraws_.size() + column];
    if (!cell.empty()) cell += ", ";
    cell += text;
  }
}

std::string TLayoutGrid::CellText(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount() || (row == 0 && column == 0)) return "";
  if (column == 0) return std::to_string(Counts_[static_cast<size_t>(row - 1)]);
  if (row == 0) return std::to_string(LastDraws_[static_cast<size_t>(column - 1)]);
  return Cells_[static_cast<size_t>(row - 1) * LastDraws_.size() + static_cast<size_t>(column - 1)];
}

TLayoutGrid BuildLayout(const TDrawsArchive& archive, int length) {
  return TLayoutGrid(CountOccurrences(archive.Draws(), AnalysisEnd(archive.Draws(), archive.DrawsOffset()), length),
                     archive.NextDrawSet());
}

TRgb LayoutCellColor(const TLayoutGrid& grid, int row, int column, bool gradient) {
  if (grid.CellText(row, column).find('[') != std::string::npos) return RgbLime;
  if (gradient) {
    // 155 * row first: exact, so that a half really is a half.
    const double r = 155.0 * row / grid.RowCount();
    const double c = 155.0 * column / grid.ColumnCount();
    return {RoundChannel(255 - r), RoundChannel(255 - c), RoundChannel(100 + r)};
  }
  return Low(row) != Low(column) ? TRgb{255, 234, 234} : TRgb{234, 255, 234};
}

TCompareList BuildCompareList(const TDrawsArchive& archive, int length) {
  TCompareList list;
  const TDrawsArray& draws = archive.Draws();
  const int last = AnalysisEnd(draws, archive.DrawsOffset());
  if (last < 0 || last >= archive.Count()) return list;
  // A window of no draw (length < 1) still names draws of the archive.
  const int first = static_cast<int>(std::clamp<int64_t>(int64_t{last} - length + 1, 0, last));
  list.Caption = std::to_string(draws[static_cast<size_t>(first)].Number) + " - " +
                 std::to_string(draws[static_cast<size_t>(last)].Number);
  for (const TShemaItem& item : CountOccurrences(draws, last, length)) {
    auto row = std::find_if(list.Rows.begin(), list.Rows.end(),
                            [&](const TCompareRow& r) { return r.Count == item.Count; });
    if (row == list.Rows.end())
      list.Rows.push_back({item.Count, std::to_string(item.Number)});
    else
      row->Numbers += ", " + std::to_string(item.Number);
  }
  // The list view sorts by its count column, descending; counts are distinct.
  std::sort(list.Rows.begin(), list.Rows.end(),
            [](const TCompareRow& a, const TCompareRow& b) { return a.Count > b.Count; });
  return list;
}

TCompareLists BuildCompareLists(const TDrawsArchive& archive, const TCompareLengths& lengths) {
  TCompareLists lists;
  for (size_t k = 0; k < lists.size(); ++k) lists[k] = BuildCompareList(archive, lengths[k]);
  return lists;
}

}  // namespace vexa
