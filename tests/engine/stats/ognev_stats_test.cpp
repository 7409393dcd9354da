#include "stats/ognev_stats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "acquire/demo_draws.h"
#include "stats_fixture.h"

namespace vexa {
namespace {

using test::Draw;
using test::FindValue;
using test::Select;
using test::WindowValues;

TOgnevValue One(int r) { return {1, {static_cast<uint8_t>(r), 0}}; }
TOgnevValue Two(int sum) { return {2, {1, static_cast<uint8_t>(sum)}}; }

TEST(OgnevNumber, TheThreeModes) {
  struct TCase {
    TComb Nums;
    TOgnevValue Mode0, Mode1, Mode2;
  };
  const TCase cases[] = {
      {{1, 2, 3, 4, 5, 6}, One(0), One(0), One(0)},          // top 0 0
      {{3, 9, 28, 41, 42, 45}, One(3), One(3), One(3)},      // top 1 4
      {{3, 4, 5, 6, 10, 24}, One(1), One(7), Two(7)},        // top 3 4
      {{3, 4, 5, 6, 11, 12}, One(0), One(8), One(8)},        // top 4 4
      {{1, 2, 3, 4, 5, 7}, One(1), One(1), Two(1)},          // top 0 1
      {{45, 3, 9, 28, 41, 42}, One(15), One(15), One(15)},   // top 16 1: order matters
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OgnevNumber(c.Nums, 0), c.Mode0) << CombToText(c.Nums);
    EXPECT_EQ(OgnevNumber(c.Nums, 1), c.Mode1) << CombToText(c.Nums);
    EXPECT_EQ(OgnevNumber(c.Nums, 2), c.Mode2) << CombToText(c.Nums);
  }
}

TEST(OgnevNumber, OtherLengths) {
  const std::vector<uint8_t> three{1, 4, 9};                  // 3 5
  const std::vector<uint8_t> seven{1, 2, 4, 8, 16, 32, 64};   // ... 1 2
  EXPECT_EQ(OgnevNumber(three, 0), One(2));
  EXPECT_EQ(OgnevNumber(seven, 0), One(1));
  EXPECT_EQ(OgnevNumber(seven, 1), One(3));
  EXPECT_EQ(OgnevNumber(seven, 2), Two(3));
  EXPECT_EQ(OgnevNumber(std::vector<uint8_t>{7}, 1), One(0));
}

class OgnevStats : public ::testing::Test, public test::TStatsFixture {};

TEST_F(OgnevStats, Descriptors) {
  struct TCase {
    const TStatClass* Class;
    const char* Code;
    const char* Caption;
    const char* Flags;
    bool AcceptsValueList;
  };
  const TCase cases[] = {
      {&TstOgnev1Class, "HCO1", "Число Огнева 1 (только разность)", "SNG", true},
      {&TstOgnev2Class, "HCO2", "Число Огнева 2 (разность + сложение, если {0,1})", "SNG", true},
      {&TstOgnev3Class, "HCO3", "Числа Огнева 3 (динамический, только фильтр)", "SD", false},
  };
  int previous = -1;
  for (const auto& c : cases) {
    const int i = list.IndexOfCode(c.Code);
    ASSERT_GE(i, 0) << c.Code;
    EXPECT_GT(i, previous) << c.Code;  // registered once each, in this order
    previous = i;
    EXPECT_EQ(list.Items(i).StatClass, c.Class);
    EXPECT_EQ(list.Items(i).Param, 0);
    EXPECT_EQ(list.Items(i).FullName(), c.Caption);
    EXPECT_EQ(KindMarks(StatFlags(*c.Class)), c.Flags);
    EXPECT_EQ(c.Class->AcceptsValueList, c.AcceptsValueList);
    EXPECT_EQ(c.Class->Group, 11);
    EXPECT_FALSE(c.Class->HasParam);
    EXPECT_EQ(HelpTopicFor(*c.Class, 0), c.Code);
  }
  EXPECT_EQ(list.ListCaption(list.IndexOfCode("HCO3"), true),
            "{ ogn } Числа Огнева 3 (динамический, только фильтр) [ SD ]");
}

TEST_F(OgnevStats, DrawsCombinationsAndGraph) {
  draws = {Draw(201, {3, 4, 5, 6, 10, 24}), Draw(202, {45, 3, 9, 28, 41, 42}), Draw(203, {3, 4, 5, 6, 11, 12}),
           Draw(204, {1, 2, 3, 4, 5, 7})};
  auto hco1 = Create("HCO1");
  auto hco2 = Create("HCO2");
  // HCO2 as drawn: 7, 15, 8, 1; sorted the second draw gives 3.
  TStatDrawArray v = WindowValues(*hco2, 0, 3, false);
  ASSERT_EQ(v.size(), 4u);
  EXPECT_EQ(Key32(v[0].Key), 7);
  EXPECT_EQ(Key32(v[1].Key), 15);
  EXPECT_EQ(Key32(v[2].Key), 8);
  EXPECT_EQ(Key32(v[3].Key), 1);
  EXPECT_EQ(FindValue(WindowValues(*hco2, 0, 3, true), 3)->Draw, 202);
  // HCO1: 1, 15, 0, 1 -> value 1 in draws 201 and 204.
  v = WindowValues(*hco1, 0, 3, false);
  ASSERT_EQ(v.size(), 3u);
  const TStatDraw* one = FindValue(v, 1);
  EXPECT_EQ(one->Hits, 2);
  EXPECT_EQ(one->Draw, 204);
  EXPECT_EQ(one->Age, 1);
  EXPECT_EQ(one->MinGap, 3);
  EXPECT_EQ(hco1->ValueToText(*one), "1");
  EXPECT_EQ(hco1->TextToValue("15"), 15);

  TStatDrawArray own;
  hco2->CalcCombination({3, 4, 5, 6, 10, 24}, own);
  ASSERT_EQ(own.size(), 1u);
  EXPECT_EQ(own[0].Key, (TStatKey4{7, 0, 0, 0}));
  EXPECT_EQ(own[0].Hits, 1);
  EXPECT_EQ(hco1->GraphValue({3, 4, 5, 6, 10, 24}, 0, 0, false), 1);
  EXPECT_EQ(hco2->GraphValue({3, 4, 5, 6, 10, 24}, 0, 0, false), 7);
  EXPECT_EQ(hco2->GraphValueOfDraw(1, 3, false), 15);
  EXPECT_EQ(hco2->GraphValueOfDraw(1, 3, true), 3);
}

TEST_F(OgnevStats, MatchesComparesKeyZeroOnly) {
  auto hco2 = Create("HCO2");
  hco2->LoadDraw(-1, 0, false);
  TStatDrawArray chosen = Select({8, 30});
  chosen[0].Key[2] = 5;  // other components do not take part
  for (bool prepared : {false, true}) {
    if (prepared) hco2->PrepareValues(chosen);
    EXPECT_TRUE(hco2->Matches({3, 4, 5, 6, 11, 12}, chosen, 0, false, false));
    EXPECT_FALSE(hco2->Matches({3, 4, 5, 6, 10, 24}, chosen, 0, false, false));
  }
}

// The reference draw is the newest of the window; the draw after it decides Hits.
struct THco3Case {
  TComb Reference;
  std::vector<std::string> Texts;
};

TEST_F(OgnevStats, Hco3ListsTheReferenceDrawsNumberAndMultiples) {
  const THco3Case cases[] = {
      {{3, 9, 28, 41, 42, 45}, {"3", "27", "24", "21", "18", "15", "12", "9", "6"}},
      {{3, 4, 5, 6, 10, 24}, {"7 (1)", "42", "35", "28", "21", "14"}},
      {{3, 4, 5, 6, 11, 12}, {"8", "40", "32", "24", "16"}},
      {{1, 2, 3, 4, 5, 7}, {"1 (1)"}},
      {{1, 2, 3, 4, 5, 6}, {"0"}},
  };
  for (const auto& c : cases) {
    draws = {Draw(300, {11, 12, 13, 14, 15, 16}), Draw(301, c.Reference), Draw(302, {1, 7, 21, 27, 40, 44})};
    auto stat = Create("HCO3");
    // The window ends with the reference draw: draw 302 follows it.
    const TStatDrawArray v = WindowValues(*stat, 0, 1, false);
    ASSERT_EQ(v.size(), c.Texts.size()) << CombToText(c.Reference);
    for (size_t k = 0; k < v.size(); ++k) {
      const std::string text = stat->ValueToText(v[k]);
      EXPECT_EQ(text, c.Texts[k]);
      EXPECT_EQ(v[k].Age, 1);
      EXPECT_EQ(v[k].Draw, 301);
      const int n = static_cast<uint16_t>(v[k].Key[0]);
      const bool cameNext = n == 1 || n == 7 || n == 21 || n == 27 || n == 40 || n == 44;
      EXPECT_EQ(v[k].Hits, cameNext ? 1 : 0) << text;
      EXPECT_EQ(stat->TextToValue(text), n);
    }
    // With the reference draw the newest nothing follows: every Hits is 0,
    // that of a characteristic number 0 included.
    draws.pop_back();
    for (const auto& e : WindowValues(*stat, 0, 1, false)) EXPECT_EQ(e.Hits, 0) << stat->ValueToText(e);
  }
  draws = {Draw(301, {3, 4, 5, 6, 10, 24})};
  auto stat = Create("HCO3");
  const TStatDrawArray v = WindowValues(*stat, 0, 0, false);
  EXPECT_EQ(v.at(0).Key, (TStatKey4{7, 1, 0, 2}));
  EXPECT_EQ(stat->ParseValue("7 (1)"), 0);  // no typed values
  TStatDrawArray own;
  stat->CalcCombination({3, 4, 5, 6, 10, 24}, own);
  EXPECT_TRUE(own.empty());
}

TEST_F(OgnevStats, Hco3FollowsTheDrawOrderOption) {
  draws = {Draw(301, {45, 3, 9, 28, 41, 42})};
  auto stat = Create("HCO3");
  EXPECT_EQ(stat->ValueToText(WindowValues(*stat, 0, 0, false).at(0)), "15");
  EXPECT_EQ(stat->ValueToText(WindowValues(*stat, 0, 0, true).at(0)), "3");
}

TEST_F(OgnevStats, Hco3FilterKeepsCombinationsWithAListedNumber) {
  draws = GenerateDemoDraws(150, 3);
  auto stat = Create("HCO3");
  const TStatDrawArray values = WindowValues(*stat, 50, 149, false);
  ASSERT_FALSE(values.empty());
  std::set<int> listed;
  for (const auto& v : values) {
    EXPECT_EQ(v.Age, 1);
    EXPECT_EQ(v.Draw, draws[149].Number);
    listed.insert(static_cast<uint16_t>(v.Key[0]));
  }
  stat->LoadDraw(-1, 149, false);
  std::mt19937 rng(9);
  for (bool prepared : {false, true}) {
    if (prepared) stat->PrepareValues(values);
    for (int k = 0; k < 2000; ++k) {
      TByteArray taken;
      while (taken.size() < MainCount) AddUniqueNum(static_cast<int>(rng() % MaxNumber) + 1, taken);
      TComb c;
      std::copy(taken.begin(), taken.end(), c.begin());
      SortComb(c);
      bool expected = false;
      for (uint8_t n : c) expected = expected || listed.count(n) > 0;
      EXPECT_EQ(stat->Matches(c, values, 149, false, false), expected) << CombToText(c);
    }
  }
}

}  // namespace
}  // namespace vexa
