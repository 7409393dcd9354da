// The draws card (tab "Карта"): every draw of the archive as one row of 45
// number columns plus the two supplementary numbers, and the colour of every
// cell. Row 0 is the header ("1" .. "45", "E1", "E2"), row 1 the newest draw,
// the last row the oldest; column 0 holds the draw number. DrawsOffset does
// not apply: the card always shows the whole archive. With no draws the card
// is the header and one empty row.
//
// A row keeps its numbers as a bit mask, so a colour is a few bit tests and
// the card of a large archive costs one pass over the draws.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/game.h"
#include "views/view_color.h"

namespace vexa {

inline constexpr const char* CardTabCaption = "Карта";
inline constexpr const char* CardBuildStatus = "Обновление карты тиражей...";

inline constexpr int CardColumnCount = 48;  // draw number, 1 .. 45, E1, E2
inline constexpr int CardE1Column = 46;
inline constexpr int CardE2Column = 47;
// Column 0 takes the width of the draws list's first column.
inline constexpr int CardCellSize = 18;  // pixels, the other columns and every row

enum class TCardColorKind { Default, Channel, Yellow, Lime, Aqua };

struct TCardColor {
  TCardColorKind Kind = TCardColorKind::Default;
  int Channel = 0;  // the channel (number group) for Kind Channel
  TRgb Rgb = RgbWhite;  // for Default: the grid's own background stands for it
  bool operator==(const TCardColor&) const = default;
};

// "yellow", "lime", "aqua", "channel 3", "default".
std::string CardColorName(const TCardColor& color);

struct TCardColorOptions {
  bool ColorCard = true;           // channel colours
  bool ColorCardSequences = true;  // sequence and repeat colours
  int ChannelSize = 5;             // numbers per channel
};

// The channel colour of a number column (NumColor of the column's number).
TCardColor CardChannelColor(int column, int channelSize);

class TDrawsCard {
 public:
  TDrawsCard() : Rows_(1) {}
  explicit TDrawsCard(const TDrawsArray& draws);

  // Header included; at least 2. The card is current for an archive of n
  // draws when this is n + 1.
  int RowCount() const { return static_cast<int>(Rows_.size()) + 1; }
  int ColumnCount() const { return CardColumnCount; }
  // Cell (row, column) of a number column holds its number.
  bool HasNumber(int row, int column) const;
  // The text the grid shows; "" outside the grid.
  std::string CellText(int row, int column) const;
  // Colour of a data cell (row >= 1, column >= 1) before selection: E1/E2
  // and cells outside the grid are Default. The header row never counts as
  // a vertical neighbour; column 1 has no left and column 45 no right one.
  TCardColor CellColor(int row, int column, const TCardColorOptions& options) const;

 private:
  struct TRow {
    uint64_t Mask = 0;  // bit n: number n is in the row
    int32_t Number = 0;
    std::array<uint8_t, SuppCount> Supp{};
    bool Filled = false;  // false only for the empty row of an empty card
  };
  uint64_t MaskOf(int row) const {
    return row >= 1 && row < RowCount() ? Rows_[static_cast<size_t>(row - 1)].Mask : 0;
  }
  std::vector<TRow> Rows_;  // Rows_[r - 1] is grid row r
};

// Every data cell's colour, row by row (rows 1 .., columns 1 .. 47): what a
// full repaint asks for.
std::vector<TCardColor> CardColors(const TDrawsCard& card, const TCardColorOptions& options);

}  // namespace vexa
