// The commands of the combinations tab as the window runs them.
#include <gtest/gtest.h>

#include "acquire/demo_draws.h"
#include "core/error.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/workspace_fixture.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TScriptedUi;
using test::TTempDir;
using test::WriteBytes;

std::vector<TComb> Copy(std::span<const TComb> combs) { return {combs.begin(), combs.end()}; }

TStatDrawArray Values(std::initializer_list<int> numbers) {
  TStatDrawArray a;
  for (int n : numbers) {
    TStatDraw d;
    SetKey32(d.Key, n);
    a.push_back(d);
  }
  return a;
}

struct WorkspaceCombs : public test::TSmallListWorkspace {
  void SetUp() override { Reopen(GenerateDemoDraws(40, 7)); }
  int Nums() { return ws->Stats().IndexOfCode("NUMS"); }
};

TEST_F(WorkspaceCombs, KeepThenUndoRestoresTheExactListAndOneLogRow) {
  ws->StatFilter_Include(Nums(), Values({3}));
  const std::vector<TComb> afterFirst = Copy(ws->Combs().Combs());
  ASSERT_EQ(afterFirst.size(), 126u) << "C(9,5) contain 3";
  ws->StatFilter_Exclude(Nums(), Values({7, 9}));
  EXPECT_EQ(ws->Combs().Count(), 21) << "C(7,5): 3 and neither 7 nor 9";
  ASSERT_EQ(ws->Combs().Log().size(), 2u);
  const TLogRow& row = ws->Combs().Log().back();
  EXPECT_EQ(row.Name, ws->Stats().ListCaption(Nums(), true));
  EXPECT_EQ(row.Values, "7; 9");
  EXPECT_EQ(row.Count, 21);
  EXPECT_EQ(row.Icon, TLogIcon::Delete);

  ws->CombsUndo();
  EXPECT_EQ(Copy(ws->Combs().Combs()), afterFirst);
  EXPECT_EQ(ws->Combs().Log().size(), 1u);
  EXPECT_EQ(ws->Combs().UndoCount(), 0);
  ws->CombsUndo();  // nothing left to undo
  EXPECT_EQ(ws->Combs().Count(), 126);
  EXPECT_FALSE(ws->IsBusy());
}

TEST_F(WorkspaceCombs, NoSelectedRowsChangeNothingButSaveTheUndoCopy) {
  ws->StatFilter_Include(Nums(), {});
  EXPECT_EQ(ws->Combs().Count(), 210);
  EXPECT_EQ(ws->Combs().UndoCount(), 210);
  EXPECT_TRUE(ws->Combs().Log().empty());
}

TEST_F(WorkspaceCombs, NoMethodIsAnErrorBeforeTheListIsTouched) {
  try {
    ws->StatFilter_Include(-1, Values({3}));
    ADD_FAILURE() << "no error";
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "Не выбран метод расчета статистики (cb: cbStatType)!");
  }
  EXPECT_EQ(ws->Combs().Count(), 210);
  EXPECT_FALSE(ws->IsBusy());
}

TEST_F(WorkspaceCombs, UndoIsDisabledAfterOpenAndPaste) {
  ws->CombsDelSelected({0, 1});
  ASSERT_EQ(ws->Combs().UndoCount(), 210);
  WriteBytes(dir / "x.lcv", "6;5;4;3;2;1\r\n1;2;3;4;5\r\n");
  ASSERT_TRUE(ws->CombsOpen(dir / "x.lcv"));
  EXPECT_EQ(Copy(ws->Combs().Combs()), (std::vector<TComb>{{6, 5, 4, 3, 2, 1}}));
  EXPECT_EQ(ws->Combs().UndoCount(), 0);
  EXPECT_TRUE(ws->Combs().Log().empty());

  ws->CombsDelSelected({0});
  ASSERT_EQ(ws->Combs().UndoCount(), 1);
  ASSERT_TRUE(ws->CombsPaste("1 2 3 4 5 6\r\n7 8 9 10 11 12\r\n"));
  EXPECT_EQ(ws->Combs().Count(), 2);
  EXPECT_EQ(ws->Combs().UndoCount(), 0);
  EXPECT_TRUE(ws->Combs().Log().empty());
}

TEST_F(WorkspaceCombs, AFailedOpenKeepsTheListAndItsLog) {
  ws->CombsDelSelected({5});
  const std::vector<TComb> before = Copy(ws->Combs().Combs());
  EXPECT_FALSE(ws->CombsOpen(dir / "missing.lcv"));
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text.rfind("Ошибка чтения файла", 0), 0u);
  EXPECT_EQ(Copy(ws->Combs().Combs()), before);
  EXPECT_EQ(ws->Combs().Log().size(), 1u);
  EXPECT_EQ(ws->Combs().UndoCount(), 0);
}

TEST_F(WorkspaceCombs, SaveWritesTheListFile) {
  ASSERT_TRUE(ws->CombsGen({GenerateOnlyOf, "1;2;3;4;5;6;7"}));
  ASSERT_TRUE(ws->CombsSave(dir / "seven.lcv"));
  EXPECT_EQ(ReadBytes(dir / "seven.lcv"),
            "1;2;3;4;5;6\r\n1;2;3;4;5;7\r\n1;2;3;4;6;7\r\n1;2;3;5;6;7\r\n1;2;4;5;6;7\r\n1;3;4;5;6;7\r\n2;3;4;5;6;7\r\n");
}

TEST_F(WorkspaceCombs, GenerateCanStoreTheDefaults) {
  ASSERT_TRUE(ws->CombsGen({GenerateOnlyOf, "1;2;3;4;5;6;7"}, true));
  EXPECT_EQ(ws->Combs().Count(), 7);
  EXPECT_EQ(ws->Stats().Generate.Mode, GenerateOnlyOf);
  const std::string ini = ReadBytes(dir / "Korvane_6x45.ini");
  EXPECT_NE(ini.find("CombsGenerateMode=2\r\n"), std::string::npos);
  EXPECT_NE(ini.find("CombsGenerateParameters=1;2;3;4;5;6;7\r\n"), std::string::npos);
  EXPECT_EQ(ws->Combs().UndoCount(), 0) << "a new list cannot be undone";
}

TEST_F(WorkspaceCombs, DelExistsRemovesTheNewestDrawsOfTheWindow) {
  TDrawsArray draws = ws->Archive().Draws();
  draws[38].Nums = {10, 9, 8, 7, 6, 5};
  draws[39].Nums = {1, 2, 3, 4, 5, 6};
  Reopen(draws);
  ws->SetDrawsOffset(1);
  ws->CombsDelExists(1);
  EXPECT_EQ(ws->Combs().Count(), 209);
  EXPECT_FALSE(ws->Combs().ContainsComb({5, 6, 7, 8, 9, 10}));
  EXPECT_TRUE(ws->Combs().ContainsComb({1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(ws->Combs().Log().back().Name, "Последние тиражи");
  ws->CombsUndo();
  EXPECT_EQ(ws->Combs().Count(), 210);
  EXPECT_TRUE(ws->Combs().Log().empty());
}

TEST_F(WorkspaceCombs, FindAndCheckNumsShowTheirInformation) {
  const TDraw newest = ws->Archive().Draws().back();
  const std::vector<std::string> lines = ws->CombsFindInDraws(newest.Nums);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], DrawToText(newest));
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Kind, TMessageKind::Information);
  EXPECT_EQ(ws->CombsCheckNums(), 10);
  EXPECT_EQ(ui.Messages.back().Text, "В текущем списке комбинаций содержится 10 уникальных номеров");
}

TEST_F(WorkspaceCombs, AFullSetFilePassesTheListThroughTheUndoCopy) {
  ws->DrawsStatePrefetchsEnabled();
  ASSERT_TRUE(ws->Window().PrefetchsEnabled);
  ws->CombsDelSelected({0});
  const std::vector<TComb> mine = Copy(ws->Combs().Combs());
  ASSERT_EQ(ws->Combs().UndoCount(), 210);
  const std::optional<TFullSet> set = ws->OpenFullSetFile(Nums());
  ASSERT_TRUE(set.has_value());
  EXPECT_EQ(set->Records.size(), 45u);
  EXPECT_EQ(set->MaxCount, 1086008) << "C(44,5) combinations hold each number";
  EXPECT_EQ(Copy(ws->Combs().Combs()), mine);
  EXPECT_EQ(ws->Combs().UndoCount(), 0) << "the earlier undo copy is lost";
  EXPECT_EQ(ws->Combs().Log().size(), 1u);

  // With the file there nothing is counted and the undo copy stays.
  ws->CombsDelSelected({0});
  ASSERT_TRUE(ws->OpenFullSetFile(Nums()).has_value());
  EXPECT_EQ(ws->Combs().UndoCount(), 209);
}

TEST_F(WorkspaceCombs, StartUpReservesAndGeneratesTheDefaults) {
  ws.reset();  // the stakes file admits one workspace per folder
  WriteBytes(dir / "Korvane_6x45.ini", "[GLOBAL]\r\nCombsGenerateMode=2\r\nCombsGenerateParameters=1,2,3,4,5,6,7\r\n");
  TWorkspace fresh(dir.Path(), ui);
  ASSERT_EQ(fresh.Open(), 0);
  fresh.CombsInit();
  EXPECT_EQ(fresh.Combs().Count(), 7);
  EXPECT_GE(fresh.Combs().Capacity(), static_cast<size_t>(AllCombsCount));
  EXPECT_GE(fresh.Combs().UndoCapacity(), static_cast<size_t>(AllCombsCount));
}

}  // namespace
}  // namespace vexa
