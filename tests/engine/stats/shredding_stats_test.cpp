#include "stats/shredding_stats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <limits>
#include <random>
#include <thread>

#include "acquire/demo_draws.h"
#include "stats_fixture.h"

namespace vexa {
namespace {

using test::Draw;
using test::FindValue;
using test::Select;
using test::WindowValues;

constexpr TComb Zero{};

TComb SortedNums(TDraw d) {
  SortDrawNums(d);
  return d.Nums;
}

TComb RandomComb(std::mt19937& rng) {
  TByteArray taken;
  while (taken.size() < MainCount) AddUniqueNum(static_cast<int>(rng() % MaxNumber) + 1, taken);
  TComb c;
  std::copy(taken.begin(), taken.end(), c.begin());
  SortComb(c);
  return c;
}

TEST(Shred, KeepsTheFirstDigitsOfTheFraction) {
  struct TCase {
    long double F;
    int Digits;
    int32_t Expected;
  };
  const TCase cases[] = {
      {0.4L, 2, 40},     {0.4L, 1, 4},      {10, 2, 0},        {-2.75L, 2, 75},   {123.456L, 2, 45},
      {0.99999L, 5, 99999}, {1e30L, 2, 0},  {-0.5L, 1, 5},
      {std::numeric_limits<long double>::quiet_NaN(), 2, 0},
      {std::numeric_limits<long double>::infinity(), 2, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShredValue(c.F, c.Digits), c.Expected) << static_cast<double>(c.F) << " " << c.Digits;
}

TEST(Shred, FormulaValues) {
  struct TCase {
    const char* Formula;
    TComb N;
    TComb P;
    TComb T;
    int Digits;
    int32_t Expected;
  };
  const TCase cases[] = {
      {"(n1+n2+n3)/(n4+n5+n6)", {1, 2, 3, 4, 5, 6}, Zero, Zero, 2, 40},
      {"(n1+n2+n3)/(n4+n5+n6)", {1, 2, 3, 4, 5, 6}, Zero, Zero, 1, 4},
      {"(n1+n2+n3)/(n4+n5+n6)", {10, 20, 30, 1, 2, 3}, Zero, Zero, 2, 0},
      {"(n1+n2", {1, 2, 3, 4, 5, 6}, Zero, Zero, 2, 0},
      {"-2.75", {1, 2, 3, 4, 5, 6}, Zero, Zero, 2, 75},
      {"N1/8", {3, 4, 5, 6, 7, 8}, Zero, Zero, 3, 375},
      {"p1/8+t1", {1, 2, 3, 4, 5, 6}, {1, 9, 10, 11, 12, 13}, {2, 9, 10, 11, 12, 13}, 2, 12},
      {"p6/8", {1, 2, 3, 4, 5, 6}, Zero, Zero, 2, 0},  // nothing before the first draw: 0
      {"n1/7", {5, 6, 7, 8, 9, 10}, Zero, Zero, 5, 71428},
      {"1/3", {1, 2, 3, 4, 5, 6}, Zero, Zero, 5, 33333},
      {"LN(n1-7)", {1, 2, 3, 4, 5, 6}, Zero, Zero, 2, 0},
      {"n1/(n2-n2)", {1, 2, 3, 4, 5, 6}, Zero, Zero, 2, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Shred(c.N, c.P, c.T, c.Digits, std::string_view(c.Formula)), c.Expected) << c.Formula;
    EXPECT_EQ(Shred(c.N, c.P, c.T, c.Digits, TFormula(c.Formula)), c.Expected) << c.Formula;
  }
}

class ShreddingStats : public ::testing::Test, public test::TStatsFixture {
 protected:
  // Four draws; n1 is 10, 1, 45, 5 as drawn and 1, 1, 3, 5 sorted.
  void UseDraws() {
    draws = {Draw(101, {10, 20, 30, 1, 2, 3}), Draw(102, {1, 2, 3, 4, 5, 6}), Draw(103, {45, 3, 9, 28, 41, 42}),
             Draw(104, {5, 8, 13, 21, 34, 44})};
  }
  void UseFormula(int param, const char* formula, int digits) {
    list.Shredding.Formulas[static_cast<size_t>(param - 1)] = formula;
    list.Shredding.Digits[static_cast<size_t>(param - 1)] = static_cast<uint8_t>(digits);
    list.RegisterAll();
  }
};

TEST_F(ShreddingStats, DescriptorsAndNames) {
  const int i = list.IndexOfCode("SHR1");
  ASSERT_GE(i, 0);
  ASSERT_EQ(list.Count(), i + 3);  // the last three methods
  const char* formulas[] = {"(n1+n2+n3)/(n4+n5+n6)", "(n4+n5+n6)/(n1+n2+n3)", "(n1+n3+n5)/(n2+n4+n6)"};
  for (int p = 1; p <= 3; ++p) {
    const TStatMethod& m = list.Items(i + p - 1);
    EXPECT_EQ(m.Code(), "SHR" + std::to_string(p));
    EXPECT_EQ(m.Param, p);
    EXPECT_EQ(m.Formula, formulas[p - 1]);
    EXPECT_EQ(m.DefaultName(), "Метод шинковки " + std::to_string(p) + ": %s");
    EXPECT_EQ(m.FullName(), "Метод шинковки " + std::to_string(p) + ": " + formulas[p - 1]);
  }
  const TStatClass& cls = TstShreddingStatClass;
  EXPECT_EQ(cls.Group, 12);
  EXPECT_EQ(KindMarks(StatFlags(cls)), "SNG");
  EXPECT_TRUE(cls.HasParam);
  EXPECT_TRUE(cls.AcceptsValueList);
  EXPECT_TRUE(IsFullSetComputable(cls));
  EXPECT_EQ(HelpTopicFor(cls, 2), "SHRx");
  int low = 0, high = 0;
  ParamRangeOf(cls, list, low, high);
  EXPECT_EQ(low, 1);
  EXPECT_EQ(high, 3);
  EXPECT_EQ(list.ListCaption(i, true), "{ shr } Метод шинковки 1: (n1+n2+n3)/(n4+n5+n6) [ SNG ]");

  // Custom names: "%s" takes the formula; a stray "%" leaves the name as typed.
  list.Items(i).CustomName = "Моя шинковка %s";
  EXPECT_EQ(list.Items(i).FullName(), "Моя шинковка (n1+n2+n3)/(n4+n5+n6)");
  list.Items(i).CustomName = "Шинковка на 100%";
  EXPECT_EQ(list.Items(i).FullName(), "Шинковка на 100%");

  // New formulas reach the captions with the next registration.
  UseFormula(1, "n1/7", 3);
  EXPECT_EQ(list.Items(i).FullName(), "Метод шинковки 1: n1/7");
}

TEST_F(ShreddingStats, FormulaAndDigitsAreTakenAtCreation) {
  UseFormula(2, "n1/8", 3);
  auto stat = Create("SHR2");
  list.Shredding.Formulas[1] = "n1/16";  // later changes do not reach the instance
  TStatDrawArray values;
  stat->CalcCombination({3, 4, 5, 6, 7, 8}, values);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(Key32(values[0].Key), 375);
  EXPECT_EQ(values[0].Hits, 1);
}

TEST_F(ShreddingStats, DrawValuesUseTheTwoDrawsBefore) {
  UseDraws();
  UseFormula(1, "(n1+p1+t1)/8", 3);
  auto stat = Create("SHR1");
  // As drawn: 10/8, (1+10)/8, (45+1+10)/8, (5+45+1)/8.
  const TStatDrawArray values = WindowValues(*stat, 0, 3, false);
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(Key32(values[0].Key), 250);
  EXPECT_EQ(Key32(values[1].Key), 375);
  EXPECT_EQ(Key32(values[2].Key), 0);
  const TStatDraw* v375 = FindValue(values, 375);
  EXPECT_EQ(v375->Hits, 2);
  EXPECT_EQ(v375->Draw, 104);
  EXPECT_EQ(v375->Age, 1);
  EXPECT_EQ(v375->MinGap, 2);
  EXPECT_EQ(v375->MaxGap, 2);
  EXPECT_EQ(FindValue(values, 250)->Age, 4);
  EXPECT_EQ(FindValue(values, 0)->Draw, 103);
  EXPECT_EQ(stat->GraphValueOfDraw(3, 3, false), 375);
  EXPECT_EQ(stat->GraphValueOfDraw(0, 3, false), 250);

  // Sorted: 1/8, (1+1)/8, (3+1+1)/8, (5+3+1)/8.
  const TStatDrawArray sorted = WindowValues(*stat, 0, 3, true);
  ASSERT_EQ(sorted.size(), 3u);
  EXPECT_EQ(FindValue(sorted, 125)->Hits, 2);
  EXPECT_EQ(FindValue(sorted, 250)->Hits, 1);
  EXPECT_EQ(FindValue(sorted, 625)->Hits, 1);

  // The graph of a combination at draw i reads draws i - 1 and i - 2.
  EXPECT_EQ(stat->GraphValue({8, 9, 10, 11, 12, 13}, 3, 3, false), 750);  // (8+45+1)/8
  EXPECT_EQ(stat->GraphValue({8, 9, 10, 11, 12, 13}, 0, 3, false), 0);    // 8/8
}

TEST_F(ShreddingStats, UnusableFormulaGivesOneValueZero) {
  UseDraws();
  UseFormula(3, "(n1+n2", 2);
  auto stat = Create("SHR3");
  const TStatDrawArray values = WindowValues(*stat, 0, 3, false);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(Key32(values[0].Key), 0);
  EXPECT_EQ(values[0].Hits, 4);
}

TEST_F(ShreddingStats, MatchesTakesTheCombinationAsTheNextDraw) {
  UseDraws();
  UseFormula(1, "(n1+p1+t1)/8", 3);
  auto stat = Create("SHR1");
  const TComb comb{2, 3, 4, 5, 6, 7};
  stat->LoadDraw(-1, 3, false);
  // P = draw 104 (n1 5), T = draw 103 (n1 45): 52/8 = 6.5.
  const TStatDrawArray hit = Select({500});
  const TStatDrawArray miss = Select({0, 250});
  EXPECT_TRUE(stat->Matches(comb, hit, 3, false, false));
  EXPECT_FALSE(stat->Matches(comb, miss, 3, false, false));
  stat->PrepareValues(hit);
  EXPECT_TRUE(stat->Matches(comb, hit, 3, false, false));
  stat->PrepareValues(miss);
  EXPECT_FALSE(stat->Matches(comb, miss, 3, false, false));
  // Another reference than the loaded one, or another order, is read afresh:
  // (2+45+1)/8 = 6 and, sorted, (2+5+3)/8 = 1.25.
  EXPECT_TRUE(stat->Matches(comb, Select({0}), 2, false, false));
  EXPECT_TRUE(stat->Matches(comb, Select({250}), 3, true, false));
  // The full set counts the combination alone: 2/8.
  TStatDrawArray own;
  stat->CalcCombination(comb, own);
  EXPECT_EQ(Key32(own.at(0).Key), 250);
}

TEST_F(ShreddingStats, FiveDigitValuesKeepTheirOwnRows) {
  UseFormula(1, "n1/7", 5);
  auto stat = Create("SHR1");
  TStatDrawArray values;
  stat->CalcCombination({5, 6, 7, 8, 9, 10}, values);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(Key32(values[0].Key), 71428);
  EXPECT_EQ(values[0].Key[1], 1);  // above 65535: the high half is used
  EXPECT_EQ(stat->ValueToText(values[0]), "71428");
  EXPECT_EQ(stat->TextToValue("71428"), 71428);
  EXPECT_EQ(stat->GraphValue({5, 6, 7, 8, 9, 10}, 0, 0, false), 71428);
  stat->LoadDraw(-1, 0, false);
  const TStatDrawArray low16 = Select({71428 - 65536});
  const TStatDrawArray full = Select({71428});
  for (bool prepared : {false, true}) {
    if (prepared) stat->PrepareValues(low16);
    EXPECT_FALSE(stat->Matches({5, 6, 7, 8, 9, 10}, low16, 0, false, false));
    if (prepared) stat->PrepareValues(full);
    EXPECT_TRUE(stat->Matches({5, 6, 7, 8, 9, 10}, full, 0, false, false));
  }
}

// Whatever way a formula is evaluated (a table with linear or computed
// slots, no table, text substituted anew), the method gives Shred's values.
TEST_F(ShreddingStats, MethodValuesAreShredsValues) {
  draws = GenerateDemoDraws(40, 5);
  const char* formulas[] = {"(n1+n2+n3)/(n4+n5+n6)", "(n1+p1+t1)/8", "SQRT(n1*p2)/(n3+0.5)",
                            "n1*n2*n3/(n4*n5*n6)+p1", "n1n2/7+t6"};
  std::mt19937 rng(11);
  for (const char* text : formulas) {
    UseFormula(1, text, 3);
    auto stat = Create("SHR1");
    const TFormula formula(text);
    stat->LoadDraw(-1, 39, true);
    const TComb p = SortedNums(draws[39]);
    const TComb t = SortedNums(draws[38]);
    for (int k = 0; k < 300; ++k) {
      const TComb c = RandomComb(rng);
      TStatDrawArray own;
      stat->CalcCombination(c, own);
      ASSERT_EQ(Key32(own.at(0).Key), Shred(c, Zero, Zero, 3, formula)) << text;
      const int32_t next = Shred(c, p, t, 3, formula);
      for (int again = 0; again < 2; ++again) {  // the second time from the table
        ASSERT_TRUE(stat->Matches(c, Select({next}), 39, true, false)) << text << " " << CombToText(c);
        ASSERT_FALSE(stat->Matches(c, Select({next + 1}), 39, true, false)) << text;
      }
      const int i = k % 40;
      ASSERT_EQ(stat->GraphValue(c, i, 39, false),
                Shred(c, i >= 1 ? draws[i - 1].Nums : Zero, i >= 2 ? draws[i - 2].Nums : Zero, 3, formula))
          << text;
    }
  }
}

TEST_F(ShreddingStats, MatchesIsSafeOnSeveralThreads) {
  UseDraws();
  auto stat = Create("SHR1");
  stat->LoadDraw(-1, 3, false);
  const TStatDrawArray chosen = Select({0, 10, 20, 25, 33, 40, 50, 66, 75});
  stat->PrepareValues(chosen);
  std::vector<TComb> combs;
  for (int a = 1; a <= 40; ++a)
    for (int b = a + 1; b <= 41; b += 3) combs.push_back({static_cast<uint8_t>(a), static_cast<uint8_t>(b), 42, 43, 44, 45});
  std::vector<char> serial(combs.size());
  for (size_t k = 0; k < combs.size(); ++k) serial[k] = stat->Matches(combs[k], chosen, 3, false, false);
  std::vector<char> a(combs.size()), b(combs.size());
  auto run = [&](std::vector<char>& out) {
    for (int rep = 0; rep < 20; ++rep)
      for (size_t k = 0; k < combs.size(); ++k) out[k] = stat->Matches(combs[k], chosen, 3, false, false);
  };
  std::thread t1(run, std::ref(a));
  std::thread t2(run, std::ref(b));
  t1.join();
  t2.join();
  EXPECT_EQ(a, serial);
  EXPECT_EQ(b, serial);
}

}  // namespace
}  // namespace vexa
