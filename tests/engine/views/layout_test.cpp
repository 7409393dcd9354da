// The number layout, its colours and the five comparison lists.
#include <gtest/gtest.h>

#include "views/layout.h"

namespace vexa {
namespace {

TDraw Draw(int number, TComb nums) {
  TDraw d;
  d.Number = number;
  d.Nums = nums;
  return d;
}

// Oldest first.
const TDrawsArray LayoutDraws = {
    Draw(1, {12, 31, 5, 6, 7, 8}),
    Draw(2, {12, 31, 9, 10, 11, 13}),
    Draw(3, {5, 14, 15, 16, 17, 18}),
    Draw(4, {7, 23, 40, 41, 42, 43}),
};

TDrawsArchive Archive(const TDrawsArray& draws, int offset) {
  TDrawsArchive a;
  a.SetDraws(draws);
  a.SetDrawsOffset(offset);
  return a;
}

std::vector<std::vector<std::string>> Texts(const TLayoutGrid& g) {
  std::vector<std::vector<std::string>> rows;
  for (int r = 0; r < g.RowCount(); ++r) {
    auto& row = rows.emplace_back();
    for (int c = 0; c < g.ColumnCount(); ++c) row.push_back(g.CellText(r, c));
  }
  return rows;
}

TEST(Occurrences, NewestFirstInStoredOrder) {
  const TShemaArray t = CountOccurrences(LayoutDraws, 3, 100);
  ASSERT_EQ(t.size(), 20u);
  EXPECT_EQ(t[0], (TShemaItem{7, 2, 4}));
  EXPECT_EQ(t[1], (TShemaItem{23, 1, 4}));
  EXPECT_EQ(t[6], (TShemaItem{5, 2, 3}));
  EXPECT_EQ(t[12], (TShemaItem{12, 2, 2}));
  EXPECT_EQ(t[19], (TShemaItem{8, 1, 1}));
  EXPECT_TRUE(CountOccurrences(LayoutDraws, -1, 100).empty()) << "no analysed draw";
  EXPECT_TRUE(CountOccurrences({}, 0, 100).empty());
  EXPECT_EQ(CountOccurrences(LayoutDraws, 3, 2147483647).size(), 20u) << "no overflow of the window start";
}

TEST(Layout, GridByCountAndLastDraw) {
  const struct {
    int Offset, Length;
    std::vector<std::vector<std::string>> Rows;
    const char* Why;
  } cases[] = {
      {0, 100,
       {{"", "4", "3", "2", "1"},
        {"2", "7", "5", "12, 31", ""},
        {"1", "23, 40, 41, 42, 43", "14, 15, 16, 17, 18", "9, 10, 11, 13", "6, 8"}},
       "offset 0: nothing bracketed; 12 and 31 share a cell in order of first meeting"},
      {1, 100,
       {{"", "3", "2", "1"}, {"2", "5", "12, 31", ""}, {"1", "14, 15, 16, 17, 18", "9, 10, 11, 13", "6, [7], 8"}},
       "offset 1: the next draw's 7 bracketed next to plain numbers"},
      {3, 100, {{"", "1"}, {"1", "[12], [31], 5, 6, 7, 8"}}, "offset 3: the third-newest draw's numbers"},
      {0, 2, {{"", "4", "3"}, {"1", "7, 23, 40, 41, 42, 43", "5, 14, 15, 16, 17, 18"}}, "a short window"},
  };
  for (const auto& c : cases) EXPECT_EQ(Texts(BuildLayout(Archive(LayoutDraws, c.Offset), c.Length)), c.Rows) << c.Why;
}

TEST(Layout, NumberOutsideTheWindowAppearsNowhere) {
  const TLayoutGrid g = BuildLayout(Archive(LayoutDraws, 0), 1);
  for (const auto& row : Texts(g))
    for (const std::string& cell : row) EXPECT_EQ(cell.find("12"), std::string::npos) << cell;
}

TEST(Layout, EmptyArchiveShrinksToTheHeaderCell) {
  const TLayoutGrid g = BuildLayout(Archive({}, 0), 100);
  EXPECT_EQ(g.RowCount(), 1);
  EXPECT_EQ(g.ColumnCount(), 1);
  EXPECT_EQ(g.CellText(0, 0), "");
  EXPECT_EQ(g.CellText(1, 1), "");
}

TEST(Layout, SameDrawNumberTwiceIsOneColumn) {
  const TLayoutGrid g = BuildLayout(Archive({Draw(7, {1, 2, 3, 4, 5, 6}), Draw(7, {1, 8, 9, 10, 11, 12})}, 0), 100);
  EXPECT_EQ(Texts(g), (std::vector<std::vector<std::string>>{
                          {"", "7"}, {"2", "1"}, {"1", "8, 9, 10, 11, 12, 2, 3, 4, 5, 6"}}));
}

// A grid of n distinct counts and n distinct last draws: (n + 1) x (n + 1).
TLayoutGrid Square(int n) {
  TShemaArray t;
  for (int i = 1; i <= n; ++i) t.push_back({i % 45 + 1, i, i});
  return TLayoutGrid(t, {});
}

TEST(LayoutColours, GradientRoundsHalfToEven) {
  const TLayoutGrid g = Square(9);  // 10 rows, 10 columns
  ASSERT_EQ(g.RowCount(), 10);
  const struct {
    int Row, Column;
    TRgb Rgb;
  } cases[] = {
      {3, 3, {208, 208, 146}},  // 208.5 and 146.5 go to the even neighbour
      {1, 1, {240, 240, 116}},  // 239.5 and 115.5
      {9, 2, {116, 224, 240}},  // 115.5, 224, 239.5
      {5, 7, {178, 146, 178}},  // 177.5, 146.5
  };
  for (const auto& c : cases) EXPECT_EQ(LayoutCellColor(g, c.Row, c.Column, true), c.Rgb) << c.Row << "," << c.Column;
  const TLayoutGrid small = Square(2);  // 3 x 3
  EXPECT_EQ(LayoutCellColor(small, 1, 2, true), (TRgb{203, 152, 152}));
}

TEST(LayoutColours, CheckerboardOfFiveByFiveBlocks) {
  const TLayoutGrid g = Square(100);
  const TRgb red{255, 234, 234};
  const TRgb green{234, 255, 234};
  const struct {
    int Row, Column;
    TRgb Rgb;
  } cases[] = {
      {1, 1, green}, {1, 5, green}, {1, 6, red},    {6, 1, red},    {6, 6, green},  {10, 11, red},
      {11, 11, green}, {95, 95, green}, {95, 96, red}, {96, 96, green}, {100, 91, red}, {100, 100, green},
  };
  for (const auto& c : cases) EXPECT_EQ(LayoutCellColor(g, c.Row, c.Column, false), c.Rgb) << c.Row << "," << c.Column;
}

TEST(LayoutColours, BracketedCellIsLime) {
  const TLayoutGrid g = BuildLayout(Archive(LayoutDraws, 1), 100);
  for (bool gradient : {true, false}) {
    EXPECT_EQ(LayoutCellColor(g, 2, 3, gradient), (TRgb{0, 255, 0})) << "6, [7], 8";
    EXPECT_NE(LayoutCellColor(g, 2, 2, gradient), (TRgb{0, 255, 0}));
  }
}

TEST(CompareLists, CountsPerWindowHighestFirst) {
  const TCompareLists lists = BuildCompareLists(Archive(LayoutDraws, 0), {1, 2, 3, 4, 100});
  EXPECT_EQ(lists[0].Caption, "4 - 4");
  EXPECT_EQ(lists[0].Rows, (std::vector<TCompareRow>{{1, "7, 23, 40, 41, 42, 43"}}));
  EXPECT_EQ(lists[1].Caption, "3 - 4");
  EXPECT_EQ(lists[1].Rows, (std::vector<TCompareRow>{{1, "7, 23, 40, 41, 42, 43, 5, 14, 15, 16, 17, 18"}}));
  EXPECT_EQ(lists[3].Caption, "1 - 4");
  EXPECT_EQ(lists[4].Caption, "1 - 4") << "a window past the oldest draw starts there";
  EXPECT_EQ(lists[4].Rows, (std::vector<TCompareRow>{
                               {2, "7, 5, 12, 31"},
                               {1, "23, 40, 41, 42, 43, 14, 15, 16, 17, 18, 9, 10, 11, 13, 6, 8"},
                           }));
  const TCompareList offset3 = BuildCompareList(Archive(LayoutDraws, 3), 100);
  EXPECT_EQ(offset3.Caption, "1 - 1");
  EXPECT_EQ(offset3.Rows, (std::vector<TCompareRow>{{1, "12, 31, 5, 6, 7, 8"}}));
}

TEST(CompareLists, EmptyArchiveGivesEmptyLists) {
  for (const TCompareList& list : BuildCompareLists(Archive({}, 0), DefaultCompareLengths)) {
    EXPECT_EQ(list.Caption, "");
    EXPECT_TRUE(list.Rows.empty());
  }
}

}  // namespace
}  // namespace vexa
