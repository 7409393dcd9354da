#include "stakes/stake_record.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/format.h"

namespace vexa {
namespace {

std::string Bytes(const TStakeRec& s) {
  std::string out(StakeRecordSize, '\0');
  EncodeStake(s, reinterpret_cast<unsigned char*>(out.data()));
  return out;
}

TNumList List(std::initializer_list<int> nums) {
  TNumList l;
  for (int n : nums) l.Nums[static_cast<size_t>(l.Count++)] = static_cast<uint8_t>(n);
  return l;
}

TConfigData PrizeConfig() {
  TConfigData c;
  c.Cost = 20000;  // 2.00
  c.Profits = {{3, 100000}, {5, 1000000}, {3, 999}};
  return c;
}

TEST(StakeRecord, LayoutByteForByte) {
  TStakeRec s;
  s.Kind = StakeScript;
  s.DrawNumber = 0x01020304;
  s.Checked = 1;
  s.CombsCount = 1000;
  s.Numbers = List({1, 2, 3, 4, 5, 6});
  s.DrawNums = {9, 3, 1, 40, 2, 45};
  s.Matched = List({1, 2, 3});
  s.Profit = -20000;
  SetStakeOrigin(s, "Тест");

  std::string expected(StakeRecordSize, '\0');
  expected[0] = 2;
  expected[1] = 3;
  expected.replace(4, 4, "\x04\x03\x02\x01");
  expected[8] = 1;
  expected.replace(12, 4, std::string("\xE8\x03\x00\x00", 4));
  expected.replace(16, 4, std::string("\x06\x00\x00\x00", 4));
  expected.replace(20, 6, "\x01\x02\x03\x04\x05\x06");
  expected.replace(28, 6, "\x09\x03\x01\x28\x02\x2D");
  expected.replace(36, 4, std::string("\x03\x00\x00\x00", 4));
  expected.replace(40, 3, "\x01\x02\x03");
  expected.replace(48, 8, "\xE0\xB1\xFF\xFF\xFF\xFF\xFF\xFF");
  expected.replace(56, 5, "\x04\xD2\xE5\xF1\xF2");  // cp1251 "Тест"
  EXPECT_EQ(Bytes(s), expected);
  EXPECT_EQ(DecodeStake(reinterpret_cast<const unsigned char*>(expected.data())), s);
  EXPECT_EQ(StakeOrigin(s), "Тест");
}

TEST(StakeRecord, AnyBytesReadBackAsTheyWere) {
  // Reserved bytes and bytes past a count or a length come from other writers too.
  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    std::string in(StakeRecordSize, '\0');
    for (char& c : in) c = static_cast<char>(rng() & 0xFF);
    const TStakeRec s = DecodeStake(reinterpret_cast<const unsigned char*>(in.data()));
    EXPECT_EQ(Bytes(s), in);
  }
}

TEST(StakeRecord, SeparatorRecord) {
  const TStakeRec sep = MakeSeparator();
  std::string expected(StakeRecordSize, '\0');
  expected[0] = 2;
  expected.replace(4, 4, "\xFF\xFF\xFF\xFF");
  expected.replace(36, 4, "\xFF\xFF\xFF\xFF");  // overlap -1
  EXPECT_EQ(Bytes(sep), expected);
  EXPECT_TRUE(IsSeparator(sep));
  EXPECT_FALSE(IsCheckable(sep));
  for (const std::string& cell : StakeGridCells(sep)) EXPECT_EQ(cell, "");
  EXPECT_EQ(StakeRowColor(sep), -1);
}

TEST(StakeRecord, OriginIsCutTo255Characters) {
  TStakeRec s;
  SetStakeOrigin(s, std::string(300, 'x'));
  EXPECT_EQ(s.Origin[0], 255);
  EXPECT_EQ(StakeOrigin(s), std::string(255, 'x'));
  SetStakeOrigin(s, "ab");
  EXPECT_EQ(s.Origin[3], 0) << "bytes past a shorter text are cleared";
}

TEST(StakeMoney, CostAndProfitBeforeAndAfterChecking) {
  const TConfigData c = PrizeConfig();
  const TStakeRec s = NewStake(StakeManual, 10, 0, List({1, 2, 3, 4, 5, 6}), "x", c);
  EXPECT_EQ(s.Profit, -20000);
  EXPECT_EQ(Overlap(s), -1);
  EXPECT_EQ(CheckedProfit(c, 6, 3), 80000) << "the first row for 3 counts, not the later one";
  EXPECT_EQ(CheckedProfit(c, 6, 4), -20000);
  EXPECT_EQ(CheckedProfit(c, 6, 5), 980000);
  SetFormatSettings({".", ","});
  EXPECT_EQ(MoneyText(80000), "8.00");
  EXPECT_EQ(MoneyText(-20000), "-2.00");
  SetFormatSettings({",", " "});
  EXPECT_EQ(MoneyText(80000), "8,00");
  SetFormatSettings({".", ","});
}

TEST(StakeMoney, SevenAndEightNumbersCostTheirCombinations) {
  TConfigData c;
  c.Cost = 12345;  // 1.2345
  EXPECT_EQ(StakeCost(c, 6), 12345);
  EXPECT_EQ(StakeCost(c, 7), 7 * 12345);
  EXPECT_EQ(StakeCost(c, 8), 28 * 12345);
  EXPECT_EQ(NewStake(StakeManual, 1, 0, List({1, 2, 3, 4, 5, 6, 7}), "x", c).Profit, -86415);
}

// An extreme "Cost" in the settings file and eight numbers: the money
// saturates instead of wrapping round.
TEST(StakeMoney, ExtremeAmountsSaturate) {
  TConfigData c;
  c.Cost = INT64_MAX / 10;
  c.Profits = {{3, INT64_MAX}};
  EXPECT_EQ(StakeCost(c, 8), INT64_MAX);
  EXPECT_EQ(CheckedProfit(c, 8, 0), -INT64_MAX);
  EXPECT_EQ(CheckedProfit(c, 6, 3), INT64_MAX - INT64_MAX / 10);
  c.Cost = INT64_MIN / 10;
  EXPECT_EQ(StakeCost(c, 8), INT64_MIN);
  EXPECT_EQ(CheckedProfit(c, 8, 3), INT64_MAX);
  EXPECT_EQ(StakeCost(c, INT32_MAX), INT64_MIN) << "a count from a damaged record";
  EXPECT_EQ(MoneyAdd(INT64_MAX - 1, 5), INT64_MAX);
  EXPECT_EQ(MoneyAdd(INT64_MIN + 1, -5), INT64_MIN);
  EXPECT_EQ(MoneyMul(-3, INT64_MAX), INT64_MIN);
}

TEST(StakeRecord, CountsOutsideWhatTheProgramWritesAreDamaged) {
  struct TCase {
    int32_t Numbers;
    int32_t Overlap;
    uint8_t Checked;
    bool Valid;
  };
  const TCase cases[] = {
      {6, -1, 0, true},  {8, 6, 1, true},         {0, -1, 0, true},  {9, -1, 0, false},
      {-1, -1, 0, false}, {INT32_MAX, -1, 0, false}, {6, 7, 1, false}, {6, -2, 0, false},
      {6, -1, 1, false},
  };
  for (const TCase& c : cases) {
    TStakeRec s;
    s.Numbers.Count = c.Numbers;
    s.Matched.Count = c.Overlap;
    s.Checked = c.Checked;
    EXPECT_EQ(StakeRecordValid(s), c.Valid) << c.Numbers << " " << c.Overlap << " " << int{c.Checked};
  }
}

TEST(StakeGrid, CellsOfACheckedStake) {
  TStakeRec s = NewStake(StakeTable, 1234, 77, List({3, 8, 15, 22, 30, 41}), "Регуляр 1", PrizeConfig());
  s.Checked = 1;
  s.DrawNums = {41, 2, 3, 19, 8, 33};
  s.Matched = List({3, 8, 41});
  s.Profit = 80000;
  const auto cells = StakeGridCells(s);
  const std::array<std::string, StakeGridColumns> expected = {
      "1234", "Регуляр", "3;8;15;22;30;41", "77", "41;2;3;19;8;33", "3", "3 8 41", "8.00", "Регуляр 1"};
  EXPECT_EQ(cells, expected);
  EXPECT_EQ(StakeRowColor(s), 0xEAEAFF);
}

TEST(StakeDialog, NumbersField) {
  struct TCase {
    const char* Text;
    int Max;
    bool Ok;
    TNumList Numbers;
  };
  const TCase cases[] = {
      {"6;5;4;3;2;1", 6, true, List({1, 2, 3, 4, 5, 6})},
      {" 45 , 1;7 ; 20,33,2", 6, true, List({1, 2, 7, 20, 33, 45})},
      {"1;2;3;4;5", 6, false, {}},
      {"1;2;3;4;5;6;7", 6, false, {}},
      {"1;2;3;4;5;6;7", 8, true, List({1, 2, 3, 4, 5, 6, 7})},
      {"1;2;3;4;5;5", 6, false, {}},
      {"0;2;3;4;5;6", 6, false, {}},
      {"1;2;3;4;5;46", 6, false, {}},
      {"1;2;3;;4;5", 6, false, {}},
      {"1 2 3 4 5 6", 6, false, {}},
      {"1;2;3;4;5;x", 6, false, {}},
  };
  for (const TCase& c : cases) {
    TNumList got;
    const std::string message = ParseStakeNumbers(c.Text, MainCount, c.Max, got);
    EXPECT_EQ(message.empty(), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_EQ(got, c.Numbers) << c.Text;
    }
    if (!c.Ok) {
      EXPECT_EQ(message, "Введена некорректная комбинация!");
    }
  }
  EXPECT_EQ(StakeNumbersSum("1;2;x;40"), 43);
}

TEST(StakeDialog, ManualStakeTakesDrawCommentAndSortedNumbers) {
  const TConfigData c = PrizeConfig();
  const TStakeRec prefilled = NewStake(StakeManual, 99, 500, {}, ManualStakeOrigin, c);
  TStakeRec out;
  TManualStakeInput in{1000, "9;8;7;6;5;4", "мой выбор", 3};
  const TStakeInputCheck ok = MakeManualStake(prefilled, in, c, out);
  EXPECT_EQ(ok.Message, "");
  EXPECT_EQ(out.DrawNumber, 1000);
  EXPECT_EQ(out.Kind, StakeManual);
  EXPECT_EQ(out.CombsCount, 500);
  EXPECT_EQ(out.Numbers, List({4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(StakeOrigin(out), "мой выбор");
  EXPECT_EQ(out.Profit, -20000);

  struct TBad {
    TManualStakeInput Input;
    std::string Message;
    TStakeField Focus;
  };
  const TBad bad[] = {
      {{1000, "1;2;3", "x", 1}, "Введена некорректная комбинация!", TStakeField::Numbers},
      {{1000, "1;2;3;4;5;6", "", 1}, "Необходимо ввести комментарий!", TStakeField::Comment},
      {{0, "1;2;3;4;5;6", "x", 1}, "Номер тиража должен быть от 1 до 2147483647!", TStakeField::DrawNumber},
      {{1000, "1;2;3;4;5;6", "x", 65536}, "Количество тиражей должно быть от 1 до 65535!", TStakeField::DrawsCount},
      {{2147483647, "1;2;3;4;5;6", "x", 2},
       "Номер последнего тиража ставки больше 2147483647!",
       TStakeField::DrawsCount},
  };
  for (const TBad& b : bad) {
    const TStakeInputCheck check = MakeManualStake(prefilled, b.Input, c, out);
    EXPECT_EQ(check.Message, b.Message);
    EXPECT_EQ(check.Focus, b.Focus);
  }
  EXPECT_EQ(CheckMultiStake({5, 1, ""}).Message, "Необходимо ввести комментарий!");
  EXPECT_EQ(CheckMultiStake({5, 1, ManualStakeOrigin}).Message, "");
}

}  // namespace
}  // namespace vexa
