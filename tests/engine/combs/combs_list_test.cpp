#include "combs/combs_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/game.h"
#include "support/fault.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TScriptedUi;
using test::TTempDir;
using test::WriteBytes;

constexpr int64_t C44_6 = 7059052;

TDraw MakeDraw(int number, TComb nums) {
  TDraw d;
  d.Number = number;
  d.Nums = nums;
  d.Supp = {44, 45};
  SetDrawDateText(d, "1 Jan 2020");
  return d;
}

std::vector<TComb> Copy(std::span<const TComb> combs) { return {combs.begin(), combs.end()}; }

bool Saw(const std::vector<std::string>& statuses, const std::string& text) {
  return std::find(statuses.begin(), statuses.end(), text) != statuses.end();
}

// The full set is ~47 MiB; one list serves every test that needs it.
class CombsFullSet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Ui = std::make_unique<TScriptedUi>();
    Combs = std::make_unique<TCombsList>(*Ui);
    Combs->Reserve(AllCombsCount);
  }
  static void TearDownTestSuite() {
    Combs.reset();
    Ui.reset();
  }
  void SetUp() override {
    Ui->Messages.clear();
    Ui->Statuses.clear();
    Combs->ClearLog();
    Combs->DiscardUndo();
  }
  static std::unique_ptr<TScriptedUi> Ui;
  static std::unique_ptr<TCombsList> Combs;
};
std::unique_ptr<TScriptedUi> CombsFullSet::Ui;
std::unique_ptr<TCombsList> CombsFullSet::Combs;

TEST_F(CombsFullSet, ModeZeroIsLexicographicAndAscending) {
  ASSERT_TRUE(Combs->Generate(true, {GenerateAll, ""}));
  ASSERT_EQ(Combs->Count(), AllCombsCount);
  EXPECT_EQ((*Combs)[0], (TComb{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ((*Combs)[1], (TComb{1, 2, 3, 4, 5, 7}));
  EXPECT_EQ((*Combs)[39], (TComb{1, 2, 3, 4, 5, 45}));
  EXPECT_EQ((*Combs)[40], (TComb{1, 2, 3, 4, 6, 7}));
  EXPECT_EQ((*Combs)[AllCombsCount - 1], (TComb{40, 41, 42, 43, 44, 45}));
  const auto all = Combs->Combs();
  EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
  EXPECT_TRUE(std::adjacent_find(all.begin(), all.end()) == all.end());
  EXPECT_TRUE(Saw(Ui->Statuses, GeneratingStatus));
  EXPECT_EQ(Combs->Capacity(), Combs->UndoCapacity()) << "reserved alike, never reallocated";
}

TEST_F(CombsFullSet, ModesWithMyNumbers) {
  struct {
    int mode;
    const char* numbers;
    int64_t count;
  } cases[] = {
      {GenerateOnlyOf, "1;2;3;4;5;6;7", 7},
      {GenerateOnlyOf, "1, 2, 3, 4, 5", 0},
      {GenerateAnyOf, "0;46", 0},
      {GenerateNoneOf, "1", C44_6},
      {GenerateAnyOf, "7,12", AllCombsCount - 6096454},
      {GenerateOnlyOf, "x;1;2;3;4;5;6;300", 1},  // unreadable and out-of-range words add nothing
      {7, "1;2", AllCombsCount},                  // an unknown mode acts as mode 0
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(Combs->Generate(false, {static_cast<uint8_t>(c.mode), c.numbers})) << c.numbers;
    EXPECT_EQ(Combs->Count(), c.count) << c.mode << " " << c.numbers;
  }
  ASSERT_TRUE(Combs->Generate(false, {GenerateOnlyOf, "1;2;3;4;5;6;7"}));
  EXPECT_EQ((*Combs)[0], (TComb{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ((*Combs)[6], (TComb{2, 3, 4, 5, 6, 7}));
  ASSERT_TRUE(Combs->Generate(false, {GenerateNoneOf, "1"}));
  EXPECT_EQ((*Combs)[0], (TComb{2, 3, 4, 5, 6, 7}));
  EXPECT_FALSE(Combs->ContainsComb({1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(Combs->ContainsComb({40, 41, 42, 43, 44, 45}));
}

TEST_F(CombsFullSet, SaveAndRestoreUndoCopyTheWholeSet) {
  ASSERT_TRUE(Combs->Generate(false, {GenerateAll, ""}));
  Combs->SaveUndo(true);
  EXPECT_EQ(Combs->UndoCount(), AllCombsCount);
  Combs->SetCombs(std::vector<TComb>{{9, 8, 7, 6, 5, 4}});
  Combs->RestoreUndo(true);
  EXPECT_EQ(Combs->Count(), AllCombsCount);
  EXPECT_EQ(Combs->UndoCount(), 0);
  EXPECT_EQ((*Combs)[AllCombsCount - 1], (TComb{40, 41, 42, 43, 44, 45}));
  EXPECT_TRUE(Saw(Ui->Statuses, UndoSavingStatus));
  EXPECT_TRUE(Saw(Ui->Statuses, UndoRestoringStatus));
}

TEST_F(CombsFullSet, FullListScopeGivesTheUserListBackWithoutUndo) {
  const std::vector<TComb> mine{{6, 5, 4, 3, 2, 1}, {1, 2, 3, 4, 5, 45}};
  Combs->SetCombs(mine);
  Combs->SaveUndo(false);  // an earlier undo copy is lost
  Combs->LogOperation(false, "x", "y");
  {
    TFullListScope full(*Combs);
    EXPECT_EQ(Combs->Count(), AllCombsCount);
  }
  EXPECT_EQ(Copy(Combs->Combs()), mine);
  EXPECT_EQ(Combs->UndoCount(), 0);
  EXPECT_EQ(Combs->Log().size(), 1u);
  EXPECT_TRUE(Ui->Statuses.empty()) << "silent";
}

TEST_F(CombsFullSet, RemoveDrawnOverTheFullSet) {
  ASSERT_TRUE(Combs->Generate(false, {GenerateAll, ""}));
  Combs->SaveUndo(false);
  const TDrawsArray draws{MakeDraw(1, {45, 1, 2, 3, 4, 5}), MakeDraw(2, {7, 8, 9, 10, 11, 12}),
                          MakeDraw(3, {7, 8, 9, 10, 11, 12}), MakeDraw(4, {40, 41, 42, 43, 44, 45})};
  Combs->RemoveDrawn(10, draws, 0);
  EXPECT_EQ(Combs->Count(), AllCombsCount - 3);
  EXPECT_FALSE(Combs->ContainsComb({1, 2, 3, 4, 5, 45}));
  EXPECT_FALSE(Combs->ContainsComb({40, 41, 42, 43, 44, 45}));
  EXPECT_EQ((*Combs)[0], (TComb{1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(Saw(Ui->Statuses, "Удаление из списка комбинаций 10 последних тиражей..."));
  EXPECT_TRUE(Saw(Ui->Statuses, "Удаление из списка комбинаций 10 последних тиражей ( завершено 100 % )..."));
  // Progress at most once per percent.
  EXPECT_LE(Ui->Statuses.size(), 102u);
}

TEST(CombsList, StartsEmptyAndGrowsAsNeeded) {
  TScriptedUi ui;
  TCombsList combs(ui);
  EXPECT_EQ(combs.Count(), 0);
  EXPECT_EQ(combs.UndoCount(), 0);
  ASSERT_TRUE(combs.Generate(false, {GenerateOnlyOf, "1;2;3;4;5;6;7;8"}));
  EXPECT_EQ(combs.Count(), 28);
  EXPECT_GE(combs.Capacity(), 28u);
  EXPECT_LT(combs.Capacity(), 100000u) << "only as much as the mode needs";
}

// A fresh list holds no memory: parameters that leave few or no
// combinations must not write past what the mode needs.
TEST(CombsList, GenerateIntoAFreshListWithFewOrNoCombinations) {
  const struct {
    int mode;
    const char* numbers;
    std::vector<TComb> combs;
  } cases[] = {
      {GenerateAnyOf, "0;46", {}},
      {GenerateAnyOf, "46", {}},
      {GenerateAnyOf, "", {}},
      {GenerateOnlyOf, "1;2;3;4;5", {}},
      {GenerateOnlyOf, "", {}},
      {GenerateOnlyOf, "45;44;43;42;41;40", {{40, 41, 42, 43, 44, 45}}},
      {GenerateOnlyOf, "1;2;3;4;5;45;0", {{1, 2, 3, 4, 5, 45}}},
      {GenerateNoneOf, "1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20;21;22;23;24;25;26;27;28;29;30;"
                       "31;32;33;34;35;36;37;38;39;40", {}},
      {GenerateNoneOf, "1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20;21;22;23;24;25;26;27;28;29;30;"
                       "31;32;33;34;35;36;37;38;39", {{40, 41, 42, 43, 44, 45}}},
  };
  for (const auto& c : cases) {
    for (bool show : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.mode << " \"" << c.numbers << "\" show " << show);
      TScriptedUi ui;
      TCombsList combs(ui);
      ASSERT_TRUE(combs.Generate(show, {static_cast<uint8_t>(c.mode), c.numbers}));
      EXPECT_EQ(Copy(combs.Combs()), c.combs);
      EXPECT_TRUE(ui.Messages.empty());
      // And again into the list just made, now sized to that count.
      ASSERT_TRUE(combs.Generate(show, {static_cast<uint8_t>(c.mode), c.numbers}));
      EXPECT_EQ(Copy(combs.Combs()), c.combs);
    }
  }
}

TEST(CombsList, GenerateWithShowStartsANewList) {
  TScriptedUi ui;
  TCombsList combs(ui);
  ASSERT_TRUE(combs.Generate(false, {GenerateOnlyOf, "1;2;3;4;5;6;7"}));
  combs.SaveUndo(false);
  combs.LogOperation(true, "Последние тиражи", "1");
  ASSERT_TRUE(combs.Generate(true, {GenerateOnlyOf, "1;2;3;4;5;6"}));
  EXPECT_EQ(combs.Count(), 1);
  EXPECT_TRUE(combs.Log().empty());
  EXPECT_EQ(combs.UndoCount(), 0);
  // Silent generation keeps both (the full-set files rely on it).
  combs.SaveUndo(false);
  combs.LogOperation(true, "a", "b");
  ASSERT_TRUE(combs.Generate(false, {GenerateOnlyOf, "1;2;3;4;5;6;7"}));
  EXPECT_EQ(combs.UndoCount(), 1);
  EXPECT_EQ(combs.Log().size(), 1u);
}

TEST(CombsList, ModeFourRefusesAFileOverTheLimit) {
  TTempDir dir;
  const auto huge = dir / "huge.lcv";
  WriteBytes(huge, "");
  std::filesystem::resize_file(huge, CombsFileMaxSize + 1);
  TScriptedUi ui;
  TCombsList combs(ui);
  EXPECT_FALSE(combs.Generate(false, {GenerateFromFile, huge.string()}));
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_NE(ui.Messages[0].Text.find("Файл слишком велик: больше 536870912 байт"), std::string::npos)
      << ui.Messages[0].Text;
}

TEST(CombsList, ModeFourReadsTheFileAsWritten) {
  TTempDir dir;
  WriteBytes(dir / "a.lcv",
             "6,5,4,3,2,1\r\n"
             "1;2;3;4;5\r\n"          // five numbers: skipped
             "\r\n"                   // empty: skipped
             " 7 ; 8;9 ;10;11;x\n"    // trimmed; unreadable reads 0
             "1;2;3;4;5;6;7\r\n"      // seven: skipped
             "40;41;42;43;44;300\r"   // beyond a byte reads 0
             "1;;2;3;4;5;6\r\n"       // empty words do not count
             "45;44;43;42;41;40");    // no final line end
  TScriptedUi ui;
  TCombsList combs(ui);
  combs.SetCombs(std::vector<TComb>{{1, 1, 1, 1, 1, 1}});
  ASSERT_TRUE(combs.Generate(false, {GenerateFromFile, (dir / "a.lcv").string()}));
  const std::vector<TComb> expected{{6, 5, 4, 3, 2, 1},
                                    {7, 8, 9, 10, 11, 0},
                                    {40, 41, 42, 43, 44, 0},
                                    {1, 2, 3, 4, 5, 6},
                                    {45, 44, 43, 42, 41, 40}};
  EXPECT_EQ(Copy(combs.Combs()), expected);
  EXPECT_TRUE(ui.Messages.empty());
}

TEST(CombsList, ReadsAndWritesManyLinesGrowingTheList) {
  TTempDir dir;
  TScriptedUi ui;
  TCombsList combs(ui);
  ASSERT_TRUE(combs.Generate(false, {GenerateOnlyOf, "1;2;3;4;5;6;7;8;9;10;11;12;13;14"}));
  ASSERT_EQ(combs.Count(), 3003);
  const std::vector<TComb> before = Copy(combs.Combs());
  ASSERT_TRUE(combs.WriteCombsFile(dir / "b.lcv"));
  TCombsList other(ui);
  ASSERT_TRUE(other.ReadCombsFile(dir / "b.lcv"));
  EXPECT_EQ(Copy(other.Combs()), before);
}

TEST(CombsList, FileTextIsPlainDecimalWithCrLf) {
  TScriptedUi ui;
  TCombsList combs(ui);
  combs.SetCombs(std::vector<TComb>{{1, 5, 12, 23, 34, 45}, {6, 5, 4, 3, 2, 1}, {0, 255, 100, 9, 10, 99}});
  EXPECT_EQ(combs.CombsFileText(), "1;5;12;23;34;45\r\n6;5;4;3;2;1\r\n0;255;100;9;10;99\r\n");
  TCombsList none(ui);
  EXPECT_EQ(none.CombsFileText(), "");
}

TEST(CombsList, FileErrorsAreShownAndKeepWhatThereIs) {
  TTempDir dir;
  TScriptedUi ui;
  TCombsList combs(ui);
  const auto missing = dir / "missing.lcv";
  EXPECT_FALSE(combs.Generate(false, {GenerateFromFile, missing.string()}));
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Kind, TMessageKind::Error);
  EXPECT_EQ(ui.Messages[0].Text.rfind("Ошибка чтения файла \"" + missing.string() + "\"!\r\r", 0), 0u);
  EXPECT_EQ(combs.Count(), 0);

  // A failed write leaves the old file as it was.
  combs.SetCombs(std::vector<TComb>{{1, 2, 3, 4, 5, 6}});
  WriteBytes(dir / "old.lcv", "9;8;7;6;5;4\r\n");
  {
    test::TFileSizeLimit limit(4);
    EXPECT_FALSE(combs.WriteCombsFile(dir / "old.lcv"));
  }
  ASSERT_EQ(ui.Messages.size(), 2u);
  EXPECT_EQ(ui.Messages[1].Text.rfind("Ошибка записи в файл \"" + (dir / "old.lcv").string() + "\"!\r\r", 0), 0u);
  EXPECT_EQ(ReadBytes(dir / "old.lcv"), "9;8;7;6;5;4\r\n");
}

TEST(CombsList, CopyTextOfSelectedRows) {
  TScriptedUi ui;
  TCombsList combs(ui);
  combs.SetCombs(std::vector<TComb>{{1, 5, 12, 23, 34, 45}, {6, 5, 4, 3, 2, 1}, {10, 11, 12, 13, 14, 15}});
  EXPECT_EQ(combs.CopyText({2, 0, 7}), "10 11 12 13 14 15\r\n01 05 12 23 34 45\r\n");
  EXPECT_EQ(combs.CopyText({}), "");
}

TEST(CombsList, PasteReplacesTheListAllOrNothing) {
  TScriptedUi ui;
  TCombsList combs(ui);
  const std::vector<TComb> before{{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}, {1, 2, 3, 4, 5, 7}};
  combs.SetCombs(before);
  combs.LogOperation(false, "NUMS", "7");

  // The second line has seven numbers.
  EXPECT_FALSE(combs.Paste("01 02 03 04 05 06\r\n1 2 3 4 5 6 7\r\n8 9 10 11 12 13"));
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Kind, TMessageKind::Error);
  EXPECT_EQ(ui.Messages[0].Text, "Некорректная комбинация: \"1 2 3 4 5 6 7\"!");
  EXPECT_EQ(Copy(combs.Combs()), before);
  EXPECT_EQ(combs.Log().size(), 1u);
  EXPECT_EQ(combs.UndoCount(), 0);
  EXPECT_TRUE(Saw(ui.Statuses, PasteStatus));

  // Any separator; the order as written; the log starts again.
  EXPECT_TRUE(combs.Paste("6-5-4-3-2-1\n1|2|3|4|5|45\n"));
  EXPECT_EQ(Copy(combs.Combs()), (std::vector<TComb>{{6, 5, 4, 3, 2, 1}, {1, 2, 3, 4, 5, 45}}));
  EXPECT_TRUE(combs.Log().empty());
  EXPECT_EQ(combs.UndoCount(), 0);

  // Nothing to paste: the list stays.
  EXPECT_FALSE(combs.Paste(""));
  EXPECT_EQ(combs.Count(), 2);
}

TEST(CombsList, UndoHoldsOneLevel) {
  TScriptedUi ui;
  TCombsList combs(ui);
  combs.SetCombs(std::vector<TComb>{{1, 2, 3, 4, 5, 6}});
  combs.SaveUndo(false);
  combs.SetCombs(std::vector<TComb>{{1, 2, 3, 4, 5, 7}, {1, 2, 3, 4, 5, 8}});
  combs.SaveUndo(false);
  combs.SetCombs({});
  combs.RestoreUndo(false);
  EXPECT_EQ(combs.Count(), 2);
  EXPECT_EQ(combs.UndoCount(), 0);
  EXPECT_TRUE(ui.Statuses.empty());
}

TEST(CombsList, RemoveDrawnTakesTheNewestOfTheWindow) {
  TScriptedUi ui;
  TCombsList combs(ui);
  ASSERT_TRUE(combs.Generate(false, {GenerateOnlyOf, "1;2;3;4;5;6;7;8"}));  // 28
  const TDrawsArray draws{
      MakeDraw(10, {6, 5, 4, 3, 2, 1}),
      MakeDraw(11, {8, 1, 2, 3, 4, 5}),
      MakeDraw(12, {1, 2, 3, 4, 5, 7}),
      MakeDraw(13, {2, 3, 4, 5, 6, 7}),  // hidden by offset 1
  };
  struct {
    int n, offset;
    int removed;
  } cases[] = {
      {2, 1, 2}, {1, 0, 1}, {4, 0, 4}, {0, 0, 0}, {3, 4, 0}, {3, 99, 0}, {9, 2, 2},
  };
  for (const auto& c : cases) {
    combs.SaveUndo(false);
    combs.RemoveDrawn(c.n, draws, c.offset);
    EXPECT_EQ(combs.Count(), 28 - c.removed) << c.n << " " << c.offset;
    ASSERT_FALSE(combs.Log().empty());
    EXPECT_EQ(combs.Log().back(), (TLogRow{TLogIcon::Delete, "Последние тиражи", std::to_string(c.n), 28 - c.removed}));
    combs.RestoreUndo(false);
  }
  combs.SaveUndo(false);
  combs.RemoveDrawn(2, draws, 1);
  EXPECT_FALSE(combs.ContainsComb({1, 2, 3, 4, 5, 8}));
  EXPECT_FALSE(combs.ContainsComb({1, 2, 3, 4, 5, 7}));
  EXPECT_TRUE(combs.ContainsComb({2, 3, 4, 5, 6, 7}));
}

TEST(CombsList, RemoveDrawnCountsCommonNumbersExactly) {
  TScriptedUi ui;
  TCombsList combs(ui);
  // Unsorted, repeated and out-of-range numbers, as a file may hold them.
  const std::vector<TComb> list{{6, 5, 4, 3, 2, 1}, {1, 2, 3, 4, 5, 6}, {1, 1, 2, 3, 4, 5},
                                {1, 2, 3, 4, 5, 70}, {70, 2, 3, 4, 5, 1}, {9, 10, 11, 12, 13, 14}};
  // Common numbers are counted pair by pair (CommonCount): against the draw
  // 1 1 2 3 4 5 the combination 1 2 3 4 5 6 shares 6, 1 1 2 3 4 5 shares 8.
  struct {
    TComb draw;
    std::vector<TComb> left;
  } cases[] = {
      {{1, 1, 2, 3, 4, 5}, {{1, 1, 2, 3, 4, 5}, {9, 10, 11, 12, 13, 14}}},
      {{5, 4, 3, 2, 1, 70}, {{6, 5, 4, 3, 2, 1}, {1, 2, 3, 4, 5, 6}, {9, 10, 11, 12, 13, 14}}},
      {{1, 2, 3, 4, 5, 6}, {{1, 2, 3, 4, 5, 70}, {70, 2, 3, 4, 5, 1}, {9, 10, 11, 12, 13, 14}}},
  };
  for (const auto& c : cases) {
    combs.SetCombs(list);
    combs.SaveUndo(false);
    combs.RemoveDrawn(1, {MakeDraw(1, c.draw)}, 0);
    EXPECT_EQ(Copy(combs.Combs()), c.left) << static_cast<int>(c.draw[0]);
  }
}

TEST(CombsList, DelSelectedDropsDistinctRows) {
  TScriptedUi ui;
  TCombsList combs(ui);
  ASSERT_TRUE(combs.Generate(false, {GenerateOnlyOf, "1;2;3;4;5;6;7"}));
  combs.SaveUndo(false);
  EXPECT_EQ(combs.DelSelected({6, 0, 6, 99, -1, 3}), 3);
  EXPECT_EQ(Copy(combs.Combs()),
            (std::vector<TComb>{{1, 2, 3, 4, 5, 7}, {1, 2, 3, 4, 6, 7}, {1, 2, 4, 5, 6, 7}, {1, 3, 4, 5, 6, 7}}));
  EXPECT_EQ(combs.Log().back(), (TLogRow{TLogIcon::Delete, "Выделенные комбинации", "3", 4}));
}

TEST(CombsList, DistinctNumbersStopsAtAllNumbers) {
  TScriptedUi ui;
  TCombsList combs(ui);
  EXPECT_EQ(combs.DistinctNumbers(), 0);
  combs.SetCombs(std::vector<TComb>{{1, 2, 3, 4, 5, 6}, {6, 5, 4, 3, 2, 9}});
  EXPECT_EQ(combs.DistinctNumbers(), 7);
  ASSERT_TRUE(combs.Generate(false, {GenerateAnyOf, "1"}));
  EXPECT_EQ(combs.DistinctNumbers(), 45);
  EXPECT_EQ(CheckNumsMessage(45), "В текущем списке комбинаций содержится 45 уникальных номеров");
}

TEST(CombsList, LogRows) {
  TScriptedUi ui;
  TCombsList combs(ui);
  combs.SetCombs(std::vector<TComb>{{1, 2, 3, 4, 5, 6}});
  combs.LogOperation(false, "NUMS", "7; 12");
  combs.LogOperation(true, "SUMS", "100");
  EXPECT_EQ(combs.Log()[0], (TLogRow{TLogIcon::Keep, "NUMS", "7; 12", 1}));
  EXPECT_EQ(combs.Log()[1].Icon, TLogIcon::Delete);
  combs.RemoveLastLog();
  EXPECT_EQ(combs.Log().size(), 1u);
  combs.ClearLog();
  combs.RemoveLastLog();
  EXPECT_TRUE(combs.Log().empty());
  EXPECT_EQ(CombsCountText(8145060), "Комбинаций: 8145060");
}

TEST(CombsList, ExclusionBufferIsKeyedByOffsetAndN) {
  TScriptedUi ui;
  TCombsList combs(ui);
  const std::vector<TComb> first{{1, 2, 3, 4, 5, 6}, {6, 5, 4, 3, 2, 1}};
  combs.SetCombs(first);
  EXPECT_FALSE(combs.ReadExclBuffer(-1, -1)) << "nothing stored yet";
  ASSERT_TRUE(combs.WriteExclBuffer(3, 10));
  EXPECT_TRUE(Saw(ui.Statuses, "Создание буфера комбинаций..."));
  EXPECT_TRUE(Saw(ui.Statuses, "Создание буфера комбинаций ( завершено 100 % )..."));

  // The same pair is not written again.
  combs.SetCombs(std::vector<TComb>{{7, 8, 9, 10, 11, 12}});
  ui.Statuses.clear();
  ASSERT_TRUE(combs.WriteExclBuffer(3, 10));
  EXPECT_TRUE(ui.Statuses.empty());

  EXPECT_FALSE(combs.ReadExclBuffer(3, 11));
  EXPECT_FALSE(combs.ReadExclBuffer(2, 10));
  EXPECT_EQ(combs.Count(), 1);
  ASSERT_TRUE(combs.ReadExclBuffer(3, 10));
  EXPECT_EQ(Copy(combs.Combs()), first);
  EXPECT_TRUE(Saw(ui.Statuses, "Загрузка буфера комбинаций..."));

  combs.DropExclBuffer();
  EXPECT_EQ(combs.ExclOffset(), -1);
  EXPECT_EQ(combs.ExclN(), -1);
  EXPECT_FALSE(combs.ReadExclBuffer(3, 10));
  EXPECT_TRUE(ui.Messages.empty());
}

TEST(CombsList, FindInDrawsListsAtMost26NewestFirst) {
  const TComb comb{3, 9, 17, 22, 30, 41};
  TDrawsArray draws;
  std::vector<int> hits;  // archive indices holding the combination
  for (int i = 0; i < 45; ++i) {
    const bool drawn = i % 3 != 2;  // 30 of 45
    TComb nums = drawn ? TComb{41, 30, 22, 17, 9, 3} : TComb{3, 9, 17, 22, 30, 42};
    if (drawn && i % 2 == 0) nums = comb;
    draws.push_back(MakeDraw(100 + i, nums));
    if (drawn) hits.push_back(i);
  }
  ASSERT_EQ(hits.size(), 30u);
  const std::vector<std::string> lines = FindCombInDraws(draws, {41, 9, 3, 30, 17, 22});
  ASSERT_EQ(lines.size(), 26u);
  for (size_t k = 0; k < lines.size(); ++k)
    EXPECT_EQ(lines[k], DrawToText(draws[static_cast<size_t>(hits[hits.size() - 1 - k])])) << k;
  EXPECT_EQ(lines[0].rfind("Тираж № 143 от", 0), 0u);

  EXPECT_TRUE(FindCombInDraws(draws, {1, 2, 3, 4, 5, 6}).empty());
  EXPECT_TRUE(FindCombInDraws({}, comb).empty());
  EXPECT_EQ(FindInDrawsMessage({}), "Выделенная комбинация не найдена архиве тиражей!");
  EXPECT_EQ(FindInDrawsMessage({"a", "b"}), "Выделенная комбинация найдена в следующих тиражах:\r\ra\rb");
}

TEST(CombsList, MyNumbersAndModeTexts) {
  const auto set = ParseMyNumbers(" 1; 7,300 ,x;;255");
  EXPECT_TRUE(set.test(1));
  EXPECT_TRUE(set.test(7));
  EXPECT_TRUE(set.test(255));
  EXPECT_TRUE(set.test(0)) << "an unreadable word reads 0";
  EXPECT_EQ(set.count(), 4u);
  EXPECT_EQ(GenerateModeText(0), "Полный список (все возможные для данного лото варианты)");
  EXPECT_EQ(GenerateModeText(4), "Загрузить список из заранее подготовленного CSV-файла");
  EXPECT_EQ(GenerateModeText(5), "");
}

}  // namespace
}  // namespace vexa
