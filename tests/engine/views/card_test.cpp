// The draws card: rows, texts and the colour rules of every cell.
#include <gtest/gtest.h>

#include "views/card.h"

namespace vexa {
namespace {

TDraw Draw(int number, TComb nums, std::array<uint8_t, 2> supp = {3, 4}) {
  TDraw d;
  d.Number = number;
  d.Nums = nums;
  d.Supp = supp;
  return d;
}

// Oldest first: row 1 is #102, row 2 #101, row 3 #100.
const TDrawsArray CardDraws = {
    Draw(100, {1, 2, 10, 20, 30, 40}, {7, 9}),
    Draw(101, {44, 45, 10, 21, 33, 7}),
    Draw(102, {45, 1, 22, 10, 35, 8}, {0, 45}),
};

TEST(DrawsCard, RowsNewestFirstWithHeaderAndSupplementaryNumbers) {
  const TDrawsCard card(CardDraws);
  ASSERT_EQ(card.RowCount(), 4);
  EXPECT_EQ(card.ColumnCount(), 48);
  const struct {
    int Row, Column;
    const char* Text;
  } cases[] = {
      {0, 0, ""},    {0, 1, "1"},   {0, 45, "45"},   {0, 46, "E1"}, {0, 47, "E2"},  {1, 0, "102"},
      {1, 45, "45"}, {1, 1, "1"},   {1, 2, ""},      {1, 46, "0"},  {1, 47, "45"},  {3, 0, "100"},
      {3, 46, "7"},  {3, 47, "9"},  {3, 45, ""},     {4, 1, ""},    {1, 48, ""},    {-1, 1, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(card.CellText(c.Row, c.Column), c.Text) << c.Row << "," << c.Column;
}

TEST(DrawsCard, EmptyArchiveIsTheHeaderAndOneEmptyRow) {
  for (const TDrawsCard& card : {TDrawsCard(), TDrawsCard(TDrawsArray{})}) {
    ASSERT_EQ(card.RowCount(), 2);
    for (int c = 0; c < card.ColumnCount(); ++c) EXPECT_EQ(card.CellText(1, c), "") << c;
    EXPECT_EQ(card.CellText(0, 46), "E1");
    EXPECT_EQ(CardColorName(card.CellColor(1, 12, {})), "channel 3") << "empty cells of a channel are tinted";
  }
}

TEST(DrawsCard, DamagedNumbersAreNoCells) {
  const TDrawsCard card(TDrawsArray{Draw(5, {0, 46, 255, 3, 3, 9})});
  EXPECT_TRUE(card.HasNumber(1, 3));
  EXPECT_TRUE(card.HasNumber(1, 9));
  EXPECT_FALSE(card.HasNumber(1, 46));
  EXPECT_EQ(card.CellText(1, 46), "3") << "column 46 is E1";
}

TEST(DrawsCard, CellColours) {
  const TDrawsCard card(CardDraws);
  const TCardColorOptions all{true, true, 5};
  const TCardColorOptions noChannels{false, true, 5};
  const TCardColorOptions noSequences{true, false, 5};
  const TCardColorOptions none{false, false, 5};
  const struct {
    int Row, Column;
    TCardColorOptions Options;
    const char* Name;
    const char* Why;
  } cases[] = {
      {1, 45, all, "lime", "45 again in the row below; 44 is not in row 1"},
      {1, 1, all, "channel 1", "45 and 1 are no neighbours, the header's 1 is no repeat"},
      {2, 44, all, "aqua", "44 next to 45"},
      {2, 45, all, "yellow", "repeat and neighbour"},
      {1, 10, all, "lime", "the newest row looks down only"},
      {3, 10, all, "lime", "the oldest row looks up only"},
      {3, 1, all, "aqua", "1 and 2"},
      {3, 2, all, "aqua", "2 and 1"},
      {2, 21, all, "channel 5", "20 in the row below is a diagonal"},
      {2, 7, all, "channel 2", "8 in the row above is a diagonal"},
      {1, 2, all, "channel 1", "an empty cell"},
      {1, 2, none, "default", "an empty cell without channels"},
      {2, 45, noSequences, "channel 9", "sequences off"},
      {2, 21, noChannels, "default", "no rule and no channels"},
      {2, 45, noChannels, "yellow", "sequences without channels"},
      {2, 46, all, "default", "E1"},
      {2, 47, all, "default", "E2"},
      {1, 45, TCardColorOptions{true, false, 9}, "channel 5", "channel width 9"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CardColorName(card.CellColor(c.Row, c.Column, c.Options)), c.Name)
        << c.Row << "," << c.Column << ": " << c.Why;
}

TEST(DrawsCard, ColourValues) {
  const TDrawsCard card(CardDraws);
  EXPECT_EQ(card.CellColor(2, 45, {}).Rgb, (TRgb{255, 255, 0}));
  EXPECT_EQ(card.CellColor(1, 45, {}).Rgb, (TRgb{0, 255, 0}));
  EXPECT_EQ(card.CellColor(2, 44, {}).Rgb, (TRgb{0, 255, 255}));
  // NumColor(12, 10) is 0xAAFFFF in BGR: group 2.
  EXPECT_EQ(CardChannelColor(12, 10), (TCardColor{TCardColorKind::Channel, 2, TRgb{0xFF, 0xFF, 0xAA}}));
  EXPECT_EQ(CardChannelColor(1, 5).Rgb, (TRgb{0xAA, 0xFF, 0xAA}));
}

TEST(DrawsCard, AllColoursRowByRow) {
  const TDrawsCard card(CardDraws);
  const std::vector<TCardColor> colors = CardColors(card, {});
  ASSERT_EQ(colors.size(), 3u * 47u);
  EXPECT_EQ(colors[44].Kind, TCardColorKind::Lime) << "row 1, column 45";
  EXPECT_EQ(colors[47 + 44].Kind, TCardColorKind::Yellow) << "row 2, column 45";
}

}  // namespace
}  // namespace vexa
