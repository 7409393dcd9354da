// The views as the window runs them: builds at the workspace's offset and
// the card and layout filters over the combinations list.
#include <gtest/gtest.h>

#include "core/error.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/workspace_fixture.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

using test::TScriptedUi;
using test::TTempDir;
using test::WriteBytes;

TDraw Draw(int number, TComb nums) {
  TDraw d;
  d.Number = number;
  d.Nums = nums;
  return d;
}

struct WorkspaceViews : public test::TSmallListWorkspace {
  void SetUp() override {
    Reopen({Draw(1, {1, 2, 3, 4, 5, 6}), Draw(2, {5, 6, 7, 8, 9, 10}), Draw(3, {7, 11, 12, 13, 14, 15})});
  }

  // How many combinations of the list hold one of these numbers.
  int WithAny(std::initializer_list<int> numbers) const {
    int n = 0;
    for (const TComb& c : ws->Combs().Combs())
      n += std::any_of(c.begin(), c.end(), [&](uint8_t v) { return std::find(numbers.begin(), numbers.end(), v) != numbers.end(); });
    return n;
  }

  void ExpectUnchanged(const std::function<void()>& filter, const char* message) {
    const int logRows = static_cast<int>(ws->Combs().Log().size());
    try {
      filter();
      ADD_FAILURE() << "no error";
    } catch (const EVexaError& e) {
      EXPECT_STREQ(e.what(), message);
    }
    EXPECT_EQ(ws->Combs().Count(), 210);
    EXPECT_EQ(static_cast<int>(ws->Combs().Log().size()), logRows);
    EXPECT_FALSE(ws->IsBusy());
  }
};

TEST_F(WorkspaceViews, CardSelectionKeepsAndDeletesAsTheNumbersSay) {
  const TDrawsCard card = ws->BuildCard();
  ASSERT_EQ(card.RowCount(), 4);
  const int expectedKept = WithAny({5, 6, 7});
  ASSERT_EQ(expectedKept, 203);
  // Columns 5..7 of rows 2..3: 5 5 | 6 6 | 7 (empty).
  ws->CardFilter_Include(card, {5, 2, 7, 3});
  EXPECT_EQ(ws->Combs().Count(), expectedKept);
  ASSERT_EQ(ws->Combs().Log().size(), 1u);
  EXPECT_EQ(ws->Combs().Log().back().Name, "Карта");
  EXPECT_EQ(ws->Combs().Log().back().Values, "5; 6; 7");
  EXPECT_EQ(ws->Combs().Log().back().Icon, TLogIcon::Keep);
  EXPECT_NE(std::find(ui.Statuses.begin(), ui.Statuses.end(), "Фильтрация комбинаций..."), ui.Statuses.end());
  ws->CombsUndo();
  ws->CardFilter_Exclude(card, {5, 2, 7, 3});
  EXPECT_EQ(ws->Combs().Count(), 7) << "C(7,6) without 5, 6 and 7";
  EXPECT_EQ(ws->Combs().Log().back().Icon, TLogIcon::Delete);
  EXPECT_FALSE(ws->IsBusy());
}

TEST_F(WorkspaceViews, SelectionsWithoutNumbersOrOutsideTheNumberColumns) {
  const TDrawsCard card = ws->BuildCard();
  ExpectUnchanged([&] { ws->CardFilter_Include(card, {20, 1, 30, 3}); }, "В выделенном диапазоне нет значений для фильтра!");
  EXPECT_EQ(ws->Combs().UndoCount(), 210) << "the undo copy was saved all the same";
  ExpectUnchanged([&] { ws->CardFilter_Include(card, {40, 1, 46, 3}); }, GridSelectionOutsideError);
  ExpectUnchanged([&] { ws->CardFilter_Exclude(card, {47, 1, 47, 1}); }, GridSelectionOutsideError);
  ExpectUnchanged([&] { ws->LayoutFilter_Include(ws->BuildLayout(100), {0, 1, 1, 1}); }, GridSelectionOutsideError);
  ExpectUnchanged([&] { ws->CardFilterCells({{"", ""}, {""}}, false); }, "В выделенном диапазоне нет значений для фильтра!");
}

TEST_F(WorkspaceViews, LayoutCellWithBracketedAndPlainNumbers) {
  ws->SetDrawsOffset(1);
  const TLayoutGrid grid = ws->BuildLayout(100);
  ASSERT_EQ(grid.CellText(2, 1), "[7], 8, 9, 10");
  EXPECT_EQ(grid.CellText(1, 1), "5, 6");
  ws->LayoutFilter_Exclude(grid, {1, 2, 1, 2});
  EXPECT_EQ(ws->Combs().Count(), 1) << "only 1..6 holds none of 7..10";
  EXPECT_EQ(ws->Combs().Log().back().Name, "Схема");
  EXPECT_EQ(ws->Combs().Log().back().Values, "7; 8; 9; 10");
  ws->CombsUndo();
  // A rectangle over the whole grid: numbers once each, column by column.
  ws->LayoutFilter_Include(grid, {1, 1, 2, 2});
  EXPECT_EQ(ws->Combs().Log().back().Values, "5; 6; 7; 8; 9; 10; 1; 2; 3; 4");
  EXPECT_EQ(ws->Combs().Count(), 210);
}

TEST_F(WorkspaceViews, BuildsFollowTheOffsetAndSettings) {
  ws->SetDrawsOffset(2);
  const TCompareLists lists = ws->BuildCompareLists(DefaultCompareLengths);
  EXPECT_EQ(lists[0].Caption, "1 - 1");
  EXPECT_EQ(lists[0].Rows, (std::vector<TCompareRow>{{1, "1, 2, 3, 4, 5, 6"}}));
  EXPECT_EQ(ws->BuildCard().RowCount(), 4) << "the card ignores the offset";
  const TDrawsArray draws = ws->Archive().Draws();
  WriteBytes(dir / "Korvane_6x45.frm", "[TFormMain]\r\nColorCardSequences=0\r\n");
  WriteBytes(dir / "Korvane_6x45.ini", "[GLOBAL]\r\nChannelSize=9\r\n");
  Reopen(draws);
  const TCardColorOptions options = ws->CardColorOptions();
  EXPECT_TRUE(options.ColorCard);
  EXPECT_FALSE(options.ColorCardSequences);
  EXPECT_EQ(options.ChannelSize, 9);
  EXPECT_FALSE(ws->IsBusy());
  EXPECT_EQ(ws->StatusText(), "");
}

TEST_F(WorkspaceViews, GraphNeedsAGraphMethodAndRepeatsNeedDraws) {
  EXPECT_THROW(ws->DrawsGraph(-1, 100, true), EVexaError);
  EXPECT_THROW(ws->DrawsGraph(ws->Stats().IndexOfCode("NUMS"), 100, true), EVexaError);
  const TDrawsGraph g = ws->DrawsGraph(ws->Stats().IndexOfCode("SUMS"), 2, true);
  ASSERT_EQ(g.Series.size(), 3u);
  EXPECT_EQ(g.Series[0].Points.size(), 2u);
  ws->SeedViewsRandom(3);
  EXPECT_EQ(ws->AnalyzeRepeats(100, 100).Rows.size(), 2u);
  Reopen({});
  EXPECT_THROW(ws->AnalyzeRepeats(100, 100), EVexaError);
  EXPECT_TRUE(ws->DrawsGraph(ws->Stats().IndexOfCode("SUMS"), 2, true).Series.empty());
  const std::vector<int> methods = ws->DrawsGraphMethods();
  EXPECT_NE(std::find(methods.begin(), methods.end(), ws->Stats().IndexOfCode("SUMS")), methods.end());
  EXPECT_EQ(std::find(methods.begin(), methods.end(), ws->Stats().IndexOfCode("NUMS")), methods.end());
  EXPECT_TRUE(std::is_sorted(methods.begin(), methods.end()));
}

}  // namespace
}  // namespace vexa
