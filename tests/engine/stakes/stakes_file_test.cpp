#include "stakes/stakes_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

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
using test::WriteBytes;

TNumList Six(int first) {
  TNumList l;
  for (int i = 0; i < 6; ++i) l.Nums[static_cast<size_t>(l.Count++)] = static_cast<uint8_t>(first + i);
  return l;
}

TStakeRec Stake(int draw, int first = 1, const char* origin = "x") {
  TConfigData c;
  c.Cost = 10000;
  return NewStake(StakeManual, draw, 0, Six(first), origin, c);
}

TStakeRec Checked(int draw, int overlap) {
  TStakeRec s = Stake(draw);
  s.Checked = 1;
  s.Matched = TNumList{};
  for (int i = 0; i < overlap; ++i)
    s.Matched.Nums[static_cast<size_t>(s.Matched.Count++)] = static_cast<uint8_t>(i + 1);
  return s;
}

std::vector<int32_t> Draws(TStakesFile& f) {
  std::vector<int32_t> d;
  for (const TStakeRec& s : f.ReadStakes(0, f.Count())) d.push_back(s.DrawNumber);
  return d;
}

class StakesFile : public ::testing::Test {
 protected:
  TTempDir dir;
  TScriptedUi ui;
  std::filesystem::path path = dir / "Korvane_6x45.lsk";
};

TEST_F(StakesFile, CreatedEmptyAndRecordsReadBackByteForByte) {
  TStakesFile f(path);
  f.LoadStakes(ui);
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(f.Count(), 0);
  const TStakeRec a = Stake(5, 1, "первая");
  const TStakeRec b = Stake(6, 10, "вторая");
  f.AppendStake(a, 1, false, ui);
  f.AppendStake(b, 1, true, ui);
  EXPECT_EQ(ui.Statuses.front(), "Загрузка файла ставок...");
  EXPECT_EQ(ui.Statuses[1], "Создание ставки...");
  EXPECT_EQ(ui.Statuses[2], "Создание ставок...");
  ASSERT_EQ(f.Count(), 2);
  EXPECT_EQ(f.ReadStake(0), a);
  EXPECT_EQ(f.ReadStake(-1, true), b);
  EXPECT_EQ(f.ReadStake(-2, true), a);

  std::string expected(2 * StakeRecordSize, '\0');
  EncodeStake(a, reinterpret_cast<unsigned char*>(expected.data()));
  EncodeStake(b, reinterpret_cast<unsigned char*>(expected.data()) + StakeRecordSize);
  EXPECT_EQ(ReadBytes(path), expected);

  try {
    f.ReadStake(2);
    FAIL();
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "Ошибка чтения записи из файла ставок!\r\rЗапись со индексом 2 в файле данных не найдена!");
  }
}

TEST_F(StakesFile, ReadCacheIsEmptiedByWrites) {
  TStakesFile f(path);
  f.OpenStakesFile();
  f.AppendStake(Stake(5), 1, false, ui);
  EXPECT_EQ(f.ReadStake(0).DrawNumber, 5);
  TStakeRec changed = f.ReadStake(0);
  changed.DrawNumber = 8;
  f.WriteStake(0, changed);
  EXPECT_EQ(f.ReadStake(0).DrawNumber, 8);
  f.ClearStakesFile();
  EXPECT_THROW(f.ReadStake(0), EVexaError);
}

TEST_F(StakesFile, MultiDrawStakeIsSeparatedStakeByStake) {
  struct TCase {
    std::vector<int32_t> Before;  // draws already in the file; -1 a separator
    std::vector<int32_t> After;
  };
  const TCase cases[] = {
      {{}, {500, -1, 501, -1, 502}},
      {{7}, {7, -1, 500, -1, 501, -1, 502}},
      {{7, -1}, {7, -1, 500, -1, 501, -1, 502}},  // no second separator after one
  };
  for (const TCase& c : cases) {
    std::filesystem::remove(path);
    TStakesFile f(path);
    f.OpenStakesFile();
    for (int32_t d : c.Before) f.AppendStake(d < 0 ? MakeSeparator() : Stake(d), 1, false, ui);
    f.AppendStake(Stake(500), 3, false, ui);
    EXPECT_EQ(Draws(f), c.After);
    for (const TStakeRec& s : f.ReadStakes(0, f.Count()))
      if (s.DrawNumber < 0) {
        EXPECT_TRUE(IsSeparator(s));
      }
  }
}

TEST_F(StakesFile, RunSeparatorOnlyAfterAStake) {
  TStakesFile f(path);
  f.OpenStakesFile();
  f.AppendRunSeparator();
  EXPECT_EQ(f.Count(), 0);
  f.AppendStake(Stake(3), 1, false, ui);
  f.AppendRunSeparator();
  f.AppendRunSeparator();
  EXPECT_EQ(Draws(f), (std::vector<int32_t>{3, -1}));
}

TEST_F(StakesFile, RefusesACheckedStake) {
  TStakesFile f(path);
  f.OpenStakesFile();
  try {
    f.AppendStake(Checked(3, 2), 1, false, ui);
    FAIL();
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(),
                 "Ошибка добавления записи в файл ставок!\r\rДобавление в конец файла уже проверенной ставки!");
  }
  EXPECT_EQ(f.Count(), 0);
}

TEST_F(StakesFile, FailedAppendLeavesNoPartOfItBehind) {
  TStakesFile f(path);
  f.OpenStakesFile();
  f.AppendStake(Stake(3), 1, false, ui);
  {
    // Room for the separator and half of the next record only.
    TFileSizeLimit limit(StakeRecordSize * 2 + 100);
    EXPECT_THROW(f.AppendStake(Stake(10), 2, false, ui), EVexaError);
  }
  EXPECT_EQ(std::filesystem::file_size(path), StakeRecordSize);
  EXPECT_EQ(Draws(f), (std::vector<int32_t>{3}));
}

TEST_F(StakesFile, StakeExistsComparesDrawAndNumberSet) {
  TStakesFile f(path);
  f.OpenStakesFile();
  f.AppendStake(Stake(40, 5), 1, false, ui);
  TNumList shuffled = Six(5);
  std::swap(shuffled.Nums[0], shuffled.Nums[5]);
  EXPECT_TRUE(f.StakeExists(40, shuffled));
  EXPECT_FALSE(f.StakeExists(41, Six(5)));
  EXPECT_FALSE(f.StakeExists(40, Six(6)));
}

TEST_F(StakesFile, OldVersionFileIsEmptiedAfterTheWarning) {
  struct TCase {
    std::string Content;
    bool Emptied;
  };
  std::string good(StakeRecordSize, '\0');
  EncodeStake(Stake(3), reinterpret_cast<unsigned char*>(good.data()));
  std::string version1 = good;
  version1[0] = 1;
  const TCase cases[] = {
      {good, false},
      {version1, true},
      {version1 + "abc", true},
      {"ab", true},
      {"", false},
  };
  for (const TCase& c : cases) {
    WriteBytes(path, c.Content);
    TScriptedUi u;
    TStakesFile f(path);
    f.LoadStakes(u);
    EXPECT_EQ(f.Count(), c.Emptied ? 0 : static_cast<int>(c.Content.size() / StakeRecordSize));
    EXPECT_EQ(std::filesystem::file_size(path), c.Emptied ? 0u : c.Content.size());
    ASSERT_EQ(u.Messages.size(), c.Emptied ? 1u : 0u);
    if (c.Emptied) {
      EXPECT_EQ(u.Messages[0].Kind, TMessageKind::Warning);
      EXPECT_EQ(u.Messages[0].Text,
                "Обнаружен файл ставок устаревшей версии - имеющиеся в файле ставки будут удалены!");
    }
  }
}

// An append cut short by a kill leaves part of a record at the end: the
// whole records stay, the part goes, and the next start finds nothing to say.
TEST_F(StakesFile, TornTailIsCutOffAndEveryWholeRecordKept) {
  struct TCase {
    int Whole;
    size_t Tail;
  };
  const TCase cases[] = {{3, 1}, {3, StakeRecordSize - 1}, {1, 100}, {0, 57}};
  for (const TCase& c : cases) {
    std::string content;
    for (int i = 0; i < c.Whole; ++i) {
      std::string rec(StakeRecordSize, '\0');
      EncodeStake(Stake(10 + i), reinterpret_cast<unsigned char*>(rec.data()));
      content += rec;
    }
    std::string partial(StakeRecordSize, '\0');
    EncodeStake(Stake(99), reinterpret_cast<unsigned char*>(partial.data()));
    content += partial.substr(0, c.Tail);
    WriteBytes(path, content);
    {
      TScriptedUi u;
      TStakesFile f(path);
      f.LoadStakes(u);
      ASSERT_EQ(f.Count(), c.Whole);
      EXPECT_EQ(std::filesystem::file_size(path), static_cast<size_t>(c.Whole) * StakeRecordSize);
      for (int i = 0; i < c.Whole; ++i) EXPECT_EQ(f.ReadStake(i).DrawNumber, 10 + i);
      ASSERT_EQ(u.Messages.size(), 1u);
      EXPECT_EQ(u.Messages[0].Kind, TMessageKind::Warning);
      EXPECT_EQ(u.Messages[0].Text, "Последняя запись файла ставок была записана не полностью и удалена (" +
                                        std::to_string(c.Tail) + " байт). Сохранено ставок: " +
                                        std::to_string(c.Whole) + ".");
    }
    TScriptedUi again;
    TStakesFile f(path);
    f.LoadStakes(again);
    EXPECT_EQ(f.Count(), c.Whole);
    EXPECT_TRUE(again.Messages.empty());
  }
}

TEST_F(StakesFile, SecondOpenInTheSameFolderIsRefused) {
  TStakesFile first(path);
  first.OpenStakesFile();
  TStakesFile second(path);
  EXPECT_THROW(second.OpenStakesFile(), EVexaError);
  EXPECT_FALSE(second.IsOpen());
  TTempDir other;
  TStakesFile elsewhere(other / "Korvane_6x45.lsk");
  EXPECT_NO_THROW(elsewhere.OpenStakesFile());
}

TEST_F(StakesFile, NotOpen) {
  TStakesFile f(path);
  EXPECT_EQ(f.Count(), 0);
  try {
    f.AppendStake(Stake(1), 1, false, ui);
    FAIL();
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "Ошибка добавления записи в файл ставок!\r\rФайл ставок не открыт!");
  }
}

class StakesDelete : public StakesFile {
 protected:
  // Checked stakes with overlaps 0..6, an unchecked stake and a separator.
  void Fill(TStakesFile& f) {
    f.OpenStakesFile();
    for (int k = 0; k <= 6; ++k) f.AppendStake(Stake(100 + k), 1, false, ui);
    for (int k = 0; k <= 6; ++k) f.WriteStake(k, Checked(100 + k, k));
    f.AppendStake(MakeSeparator(), 1, false, ui);
    f.AppendStake(Stake(200), 1, false, ui);
  }
};

TEST_F(StakesDelete, ByEachCondition) {
  struct TCase {
    TStakeCondition Condition;
    int Value;
    std::vector<int32_t> Kept;
  };
  const TCase cases[] = {
      {TStakeCondition::Equal, 3, {100, 101, 102, 104, 105, 106, -1, 200}},
      {TStakeCondition::Greater, 3, {100, 101, 102, 103, -1, 200}},
      {TStakeCondition::NotLess, 3, {100, 101, 102, -1, 200}},
      {TStakeCondition::Less, 3, {103, 104, 105, 106, -1, 200}},
      {TStakeCondition::NotGreater, 3, {104, 105, 106, -1, 200}},
      {TStakeCondition::Greater, 6, {100, 101, 102, 103, 104, 105, 106, -1, 200}},
  };
  for (const TCase& c : cases) {
    std::filesystem::remove(path);
    TStakesFile f(path);
    Fill(f);
    const int removed = DeleteStakesWhere(f, c.Condition, c.Value, ui);
    EXPECT_EQ(removed, 9 - static_cast<int>(c.Kept.size()));
    EXPECT_EQ(Draws(f), c.Kept);
    EXPECT_FALSE(std::filesystem::exists(dir / "Korvane_6x45.~tmp"));
    // The rewritten file is the one held: a second copy is still kept out.
    TStakesFile second(path);
    EXPECT_THROW(second.OpenStakesFile(), EVexaError);
  }
  EXPECT_EQ(ui.Statuses.back(), "Удаление ставок...");
}

TEST_F(StakesDelete, SelectedRowsAreOneBased) {
  TStakesFile f(path);
  Fill(f);
  const std::string before = ReadBytes(path);
  EXPECT_EQ(DeleteStakeRows(f, {9, 1}, ui), 2);
  EXPECT_EQ(Draws(f), (std::vector<int32_t>{101, 102, 103, 104, 105, 106, -1}));
  // Kept records are copied byte for byte.
  EXPECT_EQ(ReadBytes(path), before.substr(StakeRecordSize, 7 * StakeRecordSize));
}

TEST_F(StakesDelete, AFailedWriteKeepsTheFileWhole) {
  TStakesFile f(path);
  Fill(f);
  const std::string before = ReadBytes(path);
  // A leftover temporary file from an earlier crash is no obstacle.
  WriteBytes(dir / "Korvane_6x45.~tmp", "junk");
  {
    TFileSizeLimit limit(StakeRecordSize * 2);
    try {
      DeleteStakesWhere(f, TStakeCondition::Equal, 0, ui);
      FAIL();
    } catch (const EVexaError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Ошибка удаления записи из файла ставок!\r\r", 0), 0u) << e.what();
    }
  }
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_FALSE(std::filesystem::exists(dir / "Korvane_6x45.~tmp"));
  EXPECT_EQ(f.Count(), 9);
  // Still usable and still held.
  EXPECT_EQ(DeleteStakesWhere(f, TStakeCondition::Equal, 0, ui), 1);
  TStakesFile second(path);
  EXPECT_THROW(second.OpenStakesFile(), EVexaError);
}

TEST(StakesDeleteQuestion, OneOrSeveral) {
  EXPECT_EQ(StakesDeleteQuestion(1), "Удалить выделенную запись?");
  EXPECT_EQ(StakesDeleteQuestion(4), "Удалить все выделенные записи (всего будет удалено 4 записи(ей))?");
}

}  // namespace
}  // namespace vexa
