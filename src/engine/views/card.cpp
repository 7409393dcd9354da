#include "views/card.h"

#include <algorithm>

namespace vexa {

std::string CardColorName(const TCardColor& color) {
  switch (color.Kind) {
    case TCardColorKind::Yellow: return "yellow";
    case TCardColorKind::Lime: return "lime";
    case TCardColorKind::Aqua: return "aqua";
    case TCardColorKind::Channel: return "channel " + std::to_string(color.Channel);
    case TCardColorKind::Default: break;
  }
  return "default";
}

TCardColor CardChannelColor(int column, int channelSize) {
  return {TCardColorKind::Channel, GroupOf(column, std::max(channelSize, 1)), RgbOfBgr(NumColor(column, channelSize))};
}

TDrawsCard::TDrawsCard(const TDrawsArray& draws) : Rows_(draws.empty() ? 1 : draws.size()) {
  // Row r shows draw n - r: the newest first.
  const size_t n = draws.size();
  for (size_t i = 0; i < n; ++i) {
    const TDraw& d = draws[i];
    TRow& row = Rows_[n - 1 - i];
    row.Filled = true;
    row.Number = d.Number;
    row.Supp = d.Supp;
    for (uint8_t v : d.Nums)
      if (v >= 1 && v <= MaxNumber) row.Mask |= uint64_t{1} << v;
  }
}

bool TDrawsCard::HasNumber(int row, int column) const {
  return column >= 1 && column <= MaxNumber && ((MaskOf(row) >> column) & 1) != 0;
}

std::string TDrawsCard::CellText(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= CardColumnCount) return "";
  if (row == 0) {
    if (column == 0) return "";
    if (column == CardE1Column) return "E1";
    if (column == CardE2Column) return "E2";
    return std::to_string(column);
  }
  const TRow& r = Rows_[static_cast<size_t>(row - 1)];
  if (!r.Filled) return "";
  if (column == 0) return std::to_string(r.Number);
  if (column >= CardE1Column) return std::to_string(r.Supp[static_cast<size_t>(column - CardE1Column)]);
  return HasNumber(row, column) ? std::to_string(column) : "";
}

TCardColor TDrawsCard::CellColor(int row, int column, const TCardColorOptions& options) const {
  if (row < 1 || row >= RowCount() || column < 1 || column > MaxNumber) return {};
  const TCardColor plain = options.ColorCard ? CardChannelColor(column, options.ChannelSize) : TCardColor{};
  if (!options.ColorCardSequences || !HasNumber(row, column)) return plain;
  const uint64_t bit = uint64_t{1} << column;
  // MaskOf is 0 for the header and past the last row, so neither counts.
  const bool vertical = ((row > 1 ? MaskOf(row - 1) : 0) & bit) != 0 || (MaskOf(row + 1) & bit) != 0;
  const uint64_t mask = MaskOf(row);
  const bool horizontal = (column > 1 && ((mask >> (column - 1)) & 1) != 0) ||
                          (column < MaxNumber && ((mask >> (column + 1)) & 1) != 0);
  if (vertical && horizontal) return {TCardColorKind::Yellow, 0, RgbYellow};
  if (vertical) return {TCardColorKind::Lime, 0, RgbLime};
  if (horizontal) return {TCardColorKind::Aqua, 0, RgbAqua};
  return plain;
}

std::vector<TCardColor> CardColors(const TDrawsCard& card, const TCardColorOptions& options) {
  std::vector<TCardColor> colors;
  colors.reserve(static_cast<size_t>(card.RowCount() - 1) * (CardColumnCount - 1));
  for (int r = 1; r < card.RowCount(); ++r)
    for (int c = 1; c < CardColumnCount; ++c) colors.push_back(card.CellColor(r, c, options));
  return colors;
}

}  // namespace vexa
