#include "stakes/tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/error.h"
#include "support/fault.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TFileSizeLimit;
using test::TScriptedUi;
using test::TTempDir;

TTableRec Rule(TComb start, int step, const char* comment = "r") {
  TTableRec t;
  t.Comment = comment;
  t.StartComb = start;
  t.CurComb = start;
  t.Step = step;
  return t;
}

TDrawsArchive Archive() {
  TDrawsArchive a;
  TDraw older;
  older.Number = 1;
  older.Nums = {30, 4, 17, 9, 41, 2};
  TDraw newest;
  newest.Number = 2;
  newest.Nums = {45, 1, 20, 33, 7, 12};
  a.SetDraws({older, newest});
  return a;
}

TEST(TableRecord, LayoutByteForByte) {
  TTableRec t = Rule({1, 2, 3, 4, 44, 45}, -2, "Регулярная ставка");
  t.UseLastDraw = 1;
  t.StartComb = {1, 2, 3, 4, 5, 6};
  t.StakeCount = 5;
  std::string expected(TableRecordSize, '\0');
  expected.replace(0, 18, "\x11\xD0\xE5\xE3\xF3\xEB\xFF\xF0\xED\xE0\xFF \xF1\xF2\xE0\xE2\xEA\xE0");
  expected[256] = 1;
  expected.replace(257, 6, "\x01\x02\x03\x04\x05\x06");
  expected.replace(263, 6, "\x01\x02\x03\x04\x2C\x2D");
  expected.replace(272, 4, "\xFE\xFF\xFF\xFF");
  expected.replace(276, 4, std::string("\x05\x00\x00\x00", 4));
  std::string got(TableRecordSize, '\0');
  EncodeTable(t, reinterpret_cast<unsigned char*>(got.data()));
  EXPECT_EQ(got, expected);
  EXPECT_EQ(DecodeTable(reinterpret_cast<const unsigned char*>(expected.data())), t);
}

TEST(TableAdvance, StepsWrapRoundTheField) {
  const TDrawsArchive archive = Archive();
  struct TCase {
    TComb Start;
    int Step;
    std::vector<TComb> Stakes;
  };
  const TCase cases[] = {
      {{1, 2, 3, 4, 5, 6}, 1, {{2, 3, 4, 5, 6, 7}, {3, 4, 5, 6, 7, 8}}},
      {{1, 2, 3, 4, 5, 6}, -2, {{1, 2, 3, 4, 44, 45}, {1, 2, 42, 43, 44, 45}}},
      {{1, 2, 3, 4, 5, 45}, 44, {{1, 2, 3, 4, 44, 45}}},
      {{40, 41, 42, 43, 44, 45}, 45, {{40, 41, 42, 43, 44, 45}}},
  };
  for (const TCase& c : cases) {
    TTableRec t = Rule(c.Start, c.Step);
    for (size_t i = 0; i < c.Stakes.size(); ++i) {
      AdvanceTable(t, archive, 0);
      TComb want = c.Stakes[i];
      std::sort(want.begin(), want.end());
      EXPECT_EQ(t.CurComb, want) << "step " << c.Step << " stake " << i;
      EXPECT_EQ(t.StakeCount, static_cast<int>(i) + 1);
    }
    EXPECT_EQ(t.StartComb, c.Start);
  }
}

// A step of 2^31-1 from a damaged file once overflowed the shift: such a
// rule is reported when loaded and refused when advanced.
TEST(TableFile, DamagedRulesAreReportedAndNeverAdvanced) {
  TTempDir dir;
  TTableRec huge = Rule({1, 2, 3, 4, 5, 6}, INT32_MAX, "огромный");
  TTableRec zero = Rule({0, 2, 3, 4, 5, 6}, 1, "ноль");
  TTableRec negative = Rule({1, 2, 3, 4, 5, 6}, 1, "минус");
  negative.StakeCount = -1;
  TTableRec lastDraw = Rule({0, 0, 0, 0, 0, 0}, -45, "последний");
  lastDraw.UseLastDraw = 1;
  const TTablesArray rules = {Rule({1, 2, 3, 4, 5, 6}, 45), huge, zero, negative, lastDraw};
  EXPECT_TRUE(TableRecordValid(rules[0]));
  EXPECT_TRUE(TableRecordValid(lastDraw));
  TScriptedUi ui;
  SaveTables(dir / "t.ltb", true, rules, ui);
  TTablesArray loaded;
  LoadTables(dir / "t.ltb", true, loaded, ui);
  EXPECT_EQ(loaded, rules) << "kept as they are, so a save writes them back";
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "В файле регулярных ставок повреждённые записи (3): по ним ставки не делаются.");
  const TDrawsArchive archive = Archive();
  for (size_t i = 1; i <= 3; ++i) {
    TTableRec t = loaded[i];
    try {
      AdvanceTable(t, archive, 0);
      ADD_FAILURE() << t.Comment;
    } catch (const EVexaError& e) {
      EXPECT_EQ(std::string(e.what()), "Регулярная ставка \"" + t.Comment + "\" повреждена!");
    }
    EXPECT_EQ(t, loaded[i]);
  }
  TTableRec full = rules[0];
  full.StakeCount = INT32_MAX;
  AdvanceTable(full, archive, 0);
  EXPECT_EQ(full.StakeCount, INT32_MAX);
}

TEST(TableAdvance, LastDrawWithStepZeroRepeatsTheNewestVisibleDraw) {
  const TDrawsArchive archive = Archive();
  TTableRec t = Rule({1, 2, 3, 4, 5, 6}, 0);
  t.UseLastDraw = 1;
  AdvanceTable(t, archive, 0);
  EXPECT_EQ(t.CurComb, (TComb{1, 7, 12, 20, 33, 45}));
  AdvanceTable(t, archive, 0);
  EXPECT_EQ(t.CurComb, (TComb{1, 7, 12, 20, 33, 45}));
  AdvanceTable(t, archive, 1);
  EXPECT_EQ(t.CurComb, (TComb{2, 4, 9, 17, 30, 41}));
  t.Step = 1;
  AdvanceTable(t, archive, 0);
  EXPECT_EQ(t.CurComb, (TComb{1, 2, 8, 13, 21, 34})) << "45 wraps to 1";
  EXPECT_EQ(t.StakeCount, 4);
}

TEST(TableInput, Checks) {
  TTablesArray tables{Rule({1, 2, 3, 4, 5, 6}, 1, "Моя")};
  struct TCase {
    TTableInput Input;
    int Selected;
    std::string Message;
    bool FocusStart;
  };
  const std::string duplicate = "Запись с таким комментарией уже присутствует в списке!\rВыберите другой комментарий.";
  const TCase cases[] = {
      {{false, "1;2;3;4;5;6", 1, "новая"}, 1, "", false},
      {{false, "1;2;3;4;5", 1, "новая"}, 1, "Введена некорректная комбинация!", true},
      {{false, "", 1, "новая"}, 3, "", false},        // the field is not used with several
      {{true, "garbage", 1, "новая"}, 1, "", false},  // nor with the last draw
      {{false, "1;2;3;4;5;6", 1, ""}, 1, "Необходимо ввести комментарий!", false},
      {{false, "1;2;3;4;5;6", 1, "мОЯ"}, 1, duplicate, false},
      {{false, "1;2;3;4;5;6", 1, std::string(65, 'x')}, 1, "Комментарий не может быть длиннее 64 символов!", false},
      {{false, "1;2;3;4;5;6", 46, "новая"}, 1, "Шаг должен быть от -45 до 45!", false},
  };
  for (const TCase& c : cases) {
    const TTableInputCheck check = CheckTableInput(c.Input, c.Selected, tables);
    EXPECT_EQ(check.Message, c.Message) << c.Input.Comment;
    EXPECT_EQ(check.FocusStart, c.FocusStart);
  }
}

TEST(TableAdd, OneRuleOrOnePerSelectedCombination) {
  TTablesArray tables;
  EXPECT_EQ(AddTables(tables, {false, "6;5;4;3;2;1", 3, "Одна"}, {{7, 8, 9, 10, 11, 12}}, {4}), 1);
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_EQ(tables[0].StartComb, (TComb{1, 2, 3, 4, 5, 6})) << "the edited start field, sorted";
  EXPECT_EQ(tables[0].CurComb, tables[0].StartComb);
  EXPECT_EQ(tables[0].Step, 3);

  const TCombsArray three = {{1, 2, 3, 4, 5, 6}, {2, 3, 4, 5, 6, 7}, {10, 11, 12, 13, 14, 15}};
  EXPECT_EQ(AddTables(tables, {false, "", 1, "Регулярная ставка"}, three, {2, 5, 11}), 3);
  ASSERT_EQ(tables.size(), 4u);
  EXPECT_EQ(tables[1].Comment, "Регулярная ставка (2)");
  EXPECT_EQ(tables[3].Comment, "Регулярная ставка (11)");
  EXPECT_EQ(tables[3].CurComb, three[2]);
  EXPECT_EQ(tables[3].StakeCount, 0);

  EXPECT_EQ(AddTables(tables, {false, "", 1, "ничего"}, {}, {}), 0);
  EXPECT_EQ(AddTables(tables, {true, "", 0, "последний"}, {}, {}), 1);
  EXPECT_EQ(tables.back().UseLastDraw, 1);
}

TEST(TableDelete, KeepsTheOrderOfTheRest) {
  TTablesArray tables{Rule({}, 1, "a"), Rule({}, 1, "b"), Rule({}, 1, "c")};
  DeleteTable(tables, 1);
  EXPECT_EQ(tables[0].Comment, "a");
  EXPECT_EQ(tables[1].Comment, "c");
  try {
    DeleteTable(tables, 2);
    FAIL();
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "Запись со индексом 2 в файле данных не найдена!");
  }
}

TEST(TableFile, OnlyWhileTheTabIsShown) {
  TTempDir dir;
  TScriptedUi ui;
  const auto file = dir / "Korvane_6x45.ltb";
  TTablesArray tables{Rule({1, 2, 3, 4, 5, 6}, 1, "a"), Rule({7, 8, 9, 10, 11, 12}, -3, "б")};
  SaveTables(file, false, tables, ui);
  EXPECT_FALSE(std::filesystem::exists(file));
  SaveTables(file, true, tables, ui);
  EXPECT_EQ(std::filesystem::file_size(file), 2 * TableRecordSize);
  TTablesArray back;
  LoadTables(file, false, back, ui);
  EXPECT_TRUE(back.empty());
  LoadTables(file, true, back, ui);
  EXPECT_EQ(back, tables);

  const std::string before = ReadBytes(file);
  {
    TFileSizeLimit limit(TableRecordSize);
    try {
      SaveTables(file, true, TTablesArray(5), ui);
      FAIL();
    } catch (const EVexaError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Ошибка записи в файл регулярных ставок!\r\r", 0), 0u);
    }
  }
  EXPECT_EQ(ReadBytes(file), before);
}

TEST(TableStake, KindTwoForTheRulesCurrentCombination) {
  TConfigData c;
  c.Cost = 30000;
  TTableRec t = Rule({3, 9, 15, 22, 30, 41}, 1, "регуляр");
  const TStakeRec s = TableStake(t, 77, 1000, c);
  EXPECT_EQ(s.Kind, StakeTable);
  EXPECT_EQ(s.DrawNumber, 77);
  EXPECT_EQ(s.CombsCount, 1000);
  EXPECT_EQ(NumListToText(s.Numbers, ";"), "3;9;15;22;30;41");
  EXPECT_EQ(StakeOrigin(s), "регуляр");
  EXPECT_EQ(s.Profit, -30000);
  EXPECT_EQ(Overlap(s), -1);
}

}  // namespace
}  // namespace vexa
