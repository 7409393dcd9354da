// Stakes, ratings and regular tables as the main window's commands run them.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "acquire/demo_draws.h"
#include "core/error.h"
#include "core/format.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TScriptedUi;
using test::TTempDir;
using test::WriteBytes;

// Ten draws numbered 1..10; the next draw after number d is d + 2.
void SeedArchive(const TTempDir& dir, int count = 10) {
  TScriptedUi ui;
  TDrawsArchive archive(dir / "Korvane_6x45.ldr");
  archive.SetDraws(GenerateDemoDraws(count, 5));
  archive.SaveDraws(ui);
}

std::vector<int32_t> DrawNumbers(TWorkspace& ws) {
  std::vector<int32_t> d;
  for (const TStakeRec& s : ws.Stakes().ReadStakes(0, ws.Stakes().Count())) d.push_back(s.DrawNumber);
  return d;
}

TEST(WorkspaceStakes, SecondWorkspaceInTheSameFolderMustQuit) {
  TTempDir dir;
  SeedArchive(dir);
  TScriptedUi ui1;
  TWorkspace first(dir.Path(), ui1);
  ASSERT_EQ(first.Open(), 0);
  EXPECT_FALSE(first.MustQuit());

  TScriptedUi ui2;
  TWorkspace second(dir.Path(), ui2);
  EXPECT_GT(second.Open(), 0);
  EXPECT_TRUE(second.MustQuit());
  ASSERT_EQ(ui2.Messages.size(), 2u);
  EXPECT_EQ(ui2.Messages[0].Kind, TMessageKind::Error);
  EXPECT_EQ(ui2.Messages[0].Text, std::string("Ошибка чтения файла ставок!\r\rResource temporarily unavailable"));
  EXPECT_EQ(ui2.Messages[1].Text.rfind("Невозможно получить монопольный доступ к файлам данных!\r\r", 0), 0u);
  EXPECT_NE(ui2.Messages[1].Text.find("Программа будет закрыта!"), std::string::npos);
  EXPECT_TRUE(second.Archive().Empty()) << "start-up stops before the archive";

  TTempDir other;
  TScriptedUi ui3;
  TWorkspace elsewhere(other.Path(), ui3);
  EXPECT_EQ(elsewhere.Open(), 0);
  EXPECT_FALSE(elsewhere.MustQuit());
}

TEST(WorkspaceStakes, LockIsFreedWithTheWorkspace) {
  TTempDir dir;
  TScriptedUi ui;
  {
    TWorkspace ws(dir.Path(), ui);
    ASSERT_EQ(ws.Open(), 0);
  }
  TWorkspace again(dir.Path(), ui);
  EXPECT_EQ(again.Open(), 0);
}

TEST(WorkspaceStakes, OldStakesFileIsEmptiedAtStartUp) {
  TTempDir dir;
  WriteBytes(dir / "Korvane_6x45.lsk", std::string(400, 'x'));
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  EXPECT_EQ(ws.Open(), 0);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Kind, TMessageKind::Warning);
  EXPECT_EQ(ws.Stakes().Count(), 0);
  EXPECT_EQ(std::filesystem::file_size(dir / "Korvane_6x45.lsk"), 0u);
}

TEST(WorkspaceStakes, ManualMultiDrawStakeIsCheckedAndRated) {
  TTempDir dir;
  SeedArchive(dir);
  WriteBytes(dir / "Korvane_6x45.ini",
             "[STAKES]\r\nCost=2\r\nProfits=1\r\nProfit_0_Overlap=0\r\nProfit_0_Profit=1\r\n");
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  const TStakeRec prefilled = ws.StakePrefill(nullptr);
  EXPECT_EQ(prefilled.DrawNumber, 12) << "newest draw 10 + 2";
  EXPECT_EQ(StakeOrigin(prefilled), "Ставка \"вручную\"");
  EXPECT_EQ(prefilled.Profit, -20000);

  const TStakeInputCheck refused = ws.StakeAdd(prefilled, {9, "1;2;3;4;5", "x", 1});
  EXPECT_EQ(refused.Message, "Введена некорректная комбинация!");
  EXPECT_EQ(ws.Stakes().Count(), 0);

  // Draws 9, 10 and 11: the last is not in the archive yet.
  const TDraw d9 = ws.Archive().Draws()[8];
  TNumList nums;
  ASSERT_EQ(ParseStakeNumbers(CombToListText(d9.Nums), 6, 6, nums), "");
  EXPECT_EQ(ws.StakeAdd(prefilled, {9, CombToListText(d9.Nums), "точно", 3}).Message, "");
  EXPECT_EQ(DrawNumbers(ws), (std::vector<int32_t>{9, -1, 10, -1, 11}));
  const TStakeRec first = ws.Stakes().ReadStake(0);
  EXPECT_EQ(first.Checked, 1);
  EXPECT_EQ(first.Matched.Count, 6);
  EXPECT_EQ(first.Profit, -20000);
  EXPECT_EQ(ws.Stakes().ReadStake(4).Checked, 0);

  ASSERT_EQ(ws.Ratings().Count(), 1);
  EXPECT_EQ(ws.Ratings()[0].Name, "точно");
  EXPECT_EQ(ws.Ratings()[0].Checks, 2);
  // Saved as it changed.
  TRatings saved;
  LoadRatings(dir / "Korvane_6x45.lrt", saved, ui);
  EXPECT_EQ(saved.Items(), ws.Ratings().Items());
}

TEST(WorkspaceStakes, DeleteAndClearAskAndRebuildTheRatings) {
  TTempDir dir;
  SeedArchive(dir);
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  const TStakeRec prefilled = ws.StakePrefill(nullptr);
  ASSERT_EQ(ws.StakeAdd(prefilled, {5, "1;2;3;4;5;6", "a", 4}).Message, "");
  const int count = ws.Stakes().Count();

  ui.Answers = {false};
  EXPECT_EQ(ws.StakeDel({1}), 0);
  EXPECT_EQ(ui.Questions.back(), "Удалить выделенную запись?");
  ui.Answers = {true};
  EXPECT_EQ(ws.StakeDel({2, 3}), 2);
  EXPECT_EQ(ws.Stakes().Count(), count - 2);
  EXPECT_EQ(ws.Ratings()[0].Checks, 4) << "ratings outlive deleted stakes";

  // Declining the clear keeps everything; the ratings question follows a yes.
  ui.Answers = {false};
  EXPECT_FALSE(ws.StakeClear());
  EXPECT_EQ(ws.Stakes().Count(), count - 2);
  ui.Answers = {true, true};
  ui.Questions.clear();
  EXPECT_TRUE(ws.StakeClear());
  EXPECT_EQ(ws.Stakes().Count(), 0);
  ASSERT_EQ(ui.Questions.size(), 2u);
  EXPECT_EQ(ui.Questions[1].rfind("Пересчитать рейтинг только по текущим ставкам?", 0), 0u);
  EXPECT_TRUE(ws.Ratings().Empty());
  EXPECT_EQ(std::filesystem::file_size(dir / "Korvane_6x45.lrt"), 0u);
}

TEST(WorkspaceStakes, RatingsLoadSortedByTheSavedColumn) {
  TTempDir dir;
  TRating a;
  a.Name = "мало";
  a.Checks = 10;
  a.MatchSum = 2;
  TRating b = a;
  b.Name = "много";
  b.Checks = 2;
  b.MatchSum = 4;
  TRatings ratings;
  ratings.Assign({a, b});
  TScriptedUi ui;
  SaveRatings(dir / "Korvane_6x45.lrt", ratings, ui);
  WriteBytes(dir / "Korvane_6x45.frm", "[TFormMain]\r\nlvRatings.SortType=1,0\r\n");
  {
    TWorkspace ws(dir.Path(), ui);
    ASSERT_EQ(ws.Open(), 0);
    EXPECT_EQ(ws.RatingsSortColumn(), 1);
    EXPECT_EQ(ws.Ratings()[0].Name, "много") << "by Checks, ascending";
  }
  WriteBytes(dir / "Korvane_6x45.frm", "[TFormMain]\r\n");
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  EXPECT_EQ(ws.Ratings()[0].Name, "много") << "default: mean overlap, descending";
  ws.RatingsSort(2, false);
  EXPECT_EQ(ws.Ratings()[0].Name, "мало");
  TRatings saved;
  LoadRatings(dir / "Korvane_6x45.lrt", saved, ui);
  EXPECT_EQ(saved[0].Name, "мало") << "every sort is saved";
}

TEST(WorkspaceTables, BackTestOfFiveDrawsOnTwoRules) {
  TTempDir dir;
  SeedArchive(dir);
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  ASSERT_EQ(ws.TablesAdd({false, "1;2;3;4;5;6", 1, "шаг"}, {{1, 2, 3, 4, 5, 6}}, {1}).Message, "");
  ASSERT_EQ(ws.TablesAdd({true, "", 0, "последний"}, {}, {}).Message, "");
  ws.SetDrawsOffset(2);

  EXPECT_EQ(ws.TablesStakeTest({0, 1}, 5), 10);
  EXPECT_EQ(ws.DrawsOffset(), 2) << "the offset comes back";
  ASSERT_EQ(ws.Stakes().Count(), 10);
  const TTablesArray& rules = ws.Tables();
  EXPECT_EQ(rules[0].StakeCount, 5);
  EXPECT_EQ(rules[1].StakeCount, 5);
  EXPECT_EQ(rules[0].CurComb, (TComb{6, 7, 8, 9, 10, 11}));

  // Offsets 5..1 stake for draws 7..11, rule by rule.
  const auto stakes = ws.Stakes().ReadStakes(0, 10);
  for (int i = 0; i < 10; ++i) {
    const TStakeRec& s = stakes[static_cast<size_t>(i)];
    const int v = 5 - i / 2;
    EXPECT_EQ(s.Kind, StakeTable);
    EXPECT_EQ(s.DrawNumber, 12 - v);
    EXPECT_EQ(StakeOrigin(s), i % 2 == 0 ? "шаг" : "последний");
    if (i % 2 == 1) {
      TComb newest = ws.Archive().DrawCombAt(v);
      std::sort(newest.begin(), newest.end());
      EXPECT_EQ(NumListToText(s.Numbers, ";"), CombToListText(newest));
    }
    EXPECT_EQ(s.Checked, s.DrawNumber <= 10 ? 1 : 0);
  }
  // The moved rules were saved.
  TTablesArray saved;
  LoadTables(dir / "Korvane_6x45.ltb", true, saved, ui);
  EXPECT_EQ(saved, ws.Tables());
  EXPECT_THROW(ws.TablesStakeTest({0}, 10), EVexaError) << "at most the archive size - 1";
}

TEST(WorkspaceTables, StakeFromARuleReplacesItOnlyWhenAccepted) {
  TTempDir dir;
  SeedArchive(dir);
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  ASSERT_EQ(ws.TablesAdd({false, "1;2;3;4;5;6", -2, "минус"}, {{1, 2, 3, 4, 5, 6}}, {1}).Message, "");

  const TWorkspace::TTableStakeDraft draft = ws.TablesStakePrepare(0);
  EXPECT_EQ(NumListToText(draft.Stake.Numbers, ";"), "1;2;3;4;44;45");
  EXPECT_EQ(draft.Stake.DrawNumber, 12);
  // Cancelling is not calling TablesStakeAdd: the rule is as it was.
  EXPECT_EQ(ws.Tables()[0].StakeCount, 0);
  EXPECT_EQ(ws.Tables()[0].CurComb, (TComb{1, 2, 3, 4, 5, 6}));

  EXPECT_EQ(ws.TablesStakeAdd(draft, {12, "1;2;3;4;44;45", "минус", 1}).Message, "");
  EXPECT_EQ(ws.Tables()[0].StakeCount, 1);
  EXPECT_EQ(ws.Tables()[0].CurComb, (TComb{1, 2, 3, 4, 44, 45}));
  EXPECT_EQ(ws.Stakes().Count(), 1);
  EXPECT_EQ(ws.Stakes().ReadStake(0).Kind, StakeTable);
}

TEST(WorkspaceTables, HiddenTabHasNoRulesAndShowingReloadsThem) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  ASSERT_EQ(ws.TablesAdd({true, "", 1, "один"}, {}, {}).Message, "");
  ws.TabTables();
  EXPECT_FALSE(ws.Window().TabTables);
  EXPECT_TRUE(ws.Tables().empty());
  EXPECT_THROW(ws.TablesAdd({true, "", 1, "два"}, {}, {}), EVexaError);
  ws.TabTables();
  ASSERT_EQ(ws.Tables().size(), 1u);
  EXPECT_EQ(ws.Tables()[0].Comment, "один");
  EXPECT_TRUE(ReadWindowBool(dir / "Korvane_6x45.frm", "TFormMain", "TabTables", false));

  ui.Answers = {true};
  ws.TablesDel({0});
  EXPECT_TRUE(ws.Tables().empty());
  EXPECT_EQ(std::filesystem::file_size(dir / "Korvane_6x45.ltb"), 0u);
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

// Stands for a kill in the middle of a check: the process ends at once when
// the check reports half its progress.
class TKillAtHalfUi : public test::TScriptedUi {
 public:
  void Progress(const TProgress& progress) override {
    if (progress.Text.find("завершено 50 %") != std::string::npos) ::_exit(9);
  }
};

int CheckedInFile(TWorkspace& ws) {
  int n = 0;
  for (const TStakeRec& s : ws.Stakes().ReadStakes(0, ws.Stakes().Count())) n += s.Checked != 0 ? 1 : 0;
  return n;
}

int RatedChecks(const TWorkspace& ws) {
  int n = 0;
  for (const TRating& r : ws.Ratings().Items()) n += r.Checks;
  return n;
}

TEST(WorkspaceStakes, RatingsOfAKilledCheckAreMendedAtTheNextStart) {
  TTempDir dir;
  SeedArchive(dir, 40);
  {
    // Three origins, stakes for every draw of the archive, none checked yet.
    TScriptedUi ui;
    TDrawsArchive archive(dir / "Korvane_6x45.ldr");
    archive.LoadDraws(ui);
    TStakesFile stakes(dir / "Korvane_6x45.lsk");
    stakes.LoadStakes(ui);
    TConfigData config;
    config.Cost = 10000;
    for (int round = 0; round < 5; ++round)
      for (const TDraw& d : archive.Draws()) {
        TNumList six;
        for (int i = 0; i < 6; ++i) six.Nums[static_cast<size_t>(six.Count++)] = static_cast<uint8_t>(round * 6 + i + 1);
        const char* origins[] = {"альфа", "бета", "гамма"};
        stakes.AppendStake(NewStake(StakeManual, d.Number, 0, six, origins[(d.Number + round) % 3], config), 1, true,
                           ui);
      }
  }
  // The check is killed half way: its ratings are never saved.
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    TKillAtHalfUi ui;
    TWorkspace ws(dir.Path(), ui);
    ws.Open();
    ws.StakesCheckManual();
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 9) << "the check ran to its end";

  TScriptedUi ui;
  {
    TWorkspace ws(dir.Path(), ui);
    ASSERT_EQ(ws.Open(), 0);
    const int checked = CheckedInFile(ws);
    ASSERT_GT(checked, 0);
    ASSERT_LT(checked, 200);
    EXPECT_EQ(RatedChecks(ws), checked);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Kind, TMessageKind::Warning);
    EXPECT_EQ(ui.Messages[0].Text,
              Format("Рейтинг не учитывал проверенные ставки прерванной проверки и дополнен (ставок: %d).", {checked}));
    EXPECT_FALSE(std::filesystem::exists(dir / "Korvane_6x45.lrt.pending"));
    // The rest is checked and rated as usual.
    ws.StakesCheckManual();
    EXPECT_EQ(CheckedInFile(ws), 200);
    EXPECT_EQ(RatedChecks(ws), 200);
  }
  TScriptedUi again;
  TWorkspace ws(dir.Path(), again);
  ASSERT_EQ(ws.Open(), 0);
  EXPECT_TRUE(again.Messages.empty());
  EXPECT_EQ(RatedChecks(ws), 200);
}

}  // namespace
}  // namespace vexa
