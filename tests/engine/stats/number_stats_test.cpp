#include "stats/number_stats.h"

#include <gtest/gtest.h>

#include "stats_fixture.h"

namespace vexa {
namespace {

using test::Draw;
using test::FindValue;
using test::Select;
using test::WindowValues;

class NumberStats : public ::testing::Test, public test::TStatsFixture {};

TEST_F(NumberStats, NumsListsEveryNumberAndCountsOneDraw) {
  draws = {Draw(7, {5, 12, 19, 27, 33, 41})};
  auto nums = Create("NUMS");
  const TStatDrawArray v = WindowValues(*nums, 0, 0, false);
  ASSERT_EQ(v.size(), 45u);
  for (int n = 1; n <= 45; ++n) {
    const TStatDraw* e = FindValue(v, n);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(v[static_cast<size_t>(n - 1)].Key[0], n) << "listed in order 1..45";
    const bool drawn = n == 5 || n == 12 || n == 19 || n == 27 || n == 33 || n == 41;
    EXPECT_EQ(e->Hits, drawn ? 1 : 0) << n;
    EXPECT_EQ(e->Age, drawn ? 1 : 0);
    EXPECT_EQ(e->Draw, drawn ? 7 : 0);
  }
  EXPECT_EQ(nums->ValueToText(*FindValue(v, 41)), "41");
}

TEST_F(NumberStats, DigitsOnePerOccurrence) {
  draws = {Draw(1, {1, 11, 21, 30, 40, 45})};
  auto digs = Create("DIGS");
  const TStatDrawArray v = WindowValues(*digs, 0, 0, false);
  struct {
    int digit, hits;
  } expected[] = {{1, 4}, {0, 2}, {4, 2}, {2, 1}, {3, 1}, {5, 1}};
  EXPECT_EQ(v.size(), 6u) << "digits that never occur are not listed";
  for (auto e : expected) {
    ASSERT_NE(FindValue(v, e.digit), nullptr) << e.digit;
    EXPECT_EQ(FindValue(v, e.digit)->Hits, e.hits) << e.digit;
  }
  EXPECT_TRUE(digs->Matches({6, 7, 8, 9, 10, 44}, Select({0}), 0, false, false));   // 10 has a 0
  EXPECT_FALSE(digs->Matches({6, 7, 8, 9, 33, 44}, Select({0, 1, 2}), 0, false, false));
}

TEST_F(NumberStats, ValuesOfOneDrawByHand) {
  // 2 7 14 21 30 45: even 2, 14, 30; small 2, 7, 14, 21; prime 2, 7.
  draws = {Draw(3, {2, 7, 14, 21, 30, 45}, {9, 10})};
  struct Case {
    const char* code;
    int32_t value;
    const char* text;
  } cases[] = {
      {"EVEN", 3, "3:3"},         {"SMAL", 4, "4:2"},   {"PRIM", 2, "2:4"},
      {"EVNV", 21, "ЧнЧнЧн (021)"}, {"SMLV", 3, "111122 (003)"}, {"PRMV", 0b110000, "ППСССС (048)"},
      {"POS1", 2, "2"},            {"POS6", 45, "45"},   {"POE1", 9, "9"},
      {"POE2", 10, "10"},
  };
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    const TStatDrawArray v = WindowValues(*stat, 0, 0, false);
    const TStatDraw* e = FindValue(v, c.value);
    ASSERT_NE(e, nullptr) << c.code;
    EXPECT_EQ(e->Hits, 1) << c.code;
    EXPECT_EQ(stat->ValueToText(*e), c.text) << c.code;
    if (stat->Class().AcceptsValueList) {
      EXPECT_EQ(stat->TextToValue(c.text), c.value) << c.code;
    }
    if (stat->HasGraph()) {
      EXPECT_EQ(stat->GraphValueOfDraw(0, 0, false), c.value) << c.code;
    }
  }
}

TEST_F(NumberStats, PreListedValues) {
  draws = {Draw(1, {1, 3, 5, 7, 9, 11})};
  struct Case {
    const char* code;
    size_t listedBefore;
  } cases[] = {{"NUMS", 45}, {"DIGS", 0}, {"EVEN", 6}, {"SMAL", 6}, {"PRIM", 6},  {"EVNV", 64},
               {"SMLV", 0},  {"PRMV", 64}, {"POS3", 45}, {"POE1", 0}};
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    TStatDrawArray v;
    stat->ListAllValues(0, v);
    EXPECT_EQ(v.size(), c.listedBefore) << c.code;
    for (const auto& e : v) EXPECT_EQ(e.Hits + e.Age + e.Draw + e.MinGap + e.MaxGap, 0) << c.code;
  }
  // Six odd numbers: EVEN 0 is not pre-listed; it appears once it occurs.
  auto even = Create("EVEN");
  const TStatDrawArray v = WindowValues(*even, 0, 0, false);
  ASSERT_EQ(v.size(), 7u);
  EXPECT_EQ(even->ValueToText(v.back()), "0:6");
}

TEST_F(NumberStats, OrderMattersOnlyForSortedKinds) {
  draws = {Draw(1, {30, 7, 14, 2, 45, 21})};
  auto evnv = Create("EVNV");
  auto pos1 = Create("POS1");
  auto nums = Create("NUMS");
  EXPECT_NE(FindValue(WindowValues(*evnv, 0, 0, false), 0b010011)->Hits, 0);
  EXPECT_NE(FindValue(WindowValues(*evnv, 0, 0, true), 0b010101)->Hits, 0);
  EXPECT_EQ(FindValue(WindowValues(*pos1, 0, 0, false), 30)->Hits, 1);
  EXPECT_EQ(FindValue(WindowValues(*pos1, 0, 0, true), 2)->Hits, 1);
  EXPECT_EQ(WindowValues(*nums, 0, 0, false), WindowValues(*nums, 0, 0, true));
}

TEST_F(NumberStats, PrimeSetCountsOne) {
  auto prmv = Create("PRMV");
  TStatDrawArray v;
  prmv->CalcCombination({1, 2, 3, 5, 7, 11}, v);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(prmv->ValueToText(v[0]), "ПППППП (063)");
  int primes = 0;
  for (int n = 1; n <= 45; ++n) primes += IsPrimeNumber(n);
  EXPECT_EQ(primes, 15);
  EXPECT_EQ(prmv->TextToValue("ПССПСП"), 37);
  EXPECT_EQ(prmv->TextToValue("П"), 32);
}

TEST_F(NumberStats, Matches) {
  draws = {Draw(1, {1, 2, 3, 4, 5, 6})};
  struct Case {
    const char* code;
    TComb comb;
    std::initializer_list<int32_t> selected;
    bool expected;
  } cases[] = {
      {"NUMS", {3, 10, 20, 30, 40, 45}, {45}, true},
      {"NUMS", {3, 10, 20, 30, 40, 45}, {44, 2}, false},
      {"EVEN", {2, 4, 6, 7, 9, 11}, {3}, true},
      {"EVEN", {2, 4, 6, 7, 9, 11}, {2, 4}, false},
      {"SMAL", {1, 2, 30, 31, 32, 33}, {2}, true},
      {"PRIM", {1, 4, 6, 8, 9, 10}, {1}, true},
      {"EVNV", {2, 7, 14, 21, 30, 45}, {21}, true},
      {"SMLV", {3, 10, 22, 23, 40, 45}, {7}, true},
      {"POS3", {1, 2, 17, 20, 30, 40}, {17}, true},
      {"POS3", {1, 17, 18, 20, 30, 40}, {17}, false},
      {"POE1", {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, false},
  };
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    stat->LoadDraw(-1, 0, false);
    const TStatDrawArray values = Select(c.selected);
    EXPECT_EQ(stat->Matches(c.comb, values, 0, false, false), c.expected) << c.code;
    stat->PrepareValues(values);
    EXPECT_EQ(stat->Matches(c.comb, values, 0, false, false), c.expected) << c.code << " prepared";
  }
}

TEST_F(NumberStats, PoeAddsNothingForACombination) {
  auto poe = Create("POE2");
  TStatDrawArray v;
  poe->CalcCombination({1, 2, 3, 4, 5, 6}, v);
  EXPECT_TRUE(v.empty());
  EXPECT_FALSE(IsFullSetComputable(poe->Class()));
}

}  // namespace
}  // namespace vexa
