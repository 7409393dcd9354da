#include "stats/sum_stats.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "stats_fixture.h"

namespace vexa {
namespace {

using test::Draw;
using test::FindValue;
using test::Select;
using test::WindowValues;

// Ascending numbers adding up to `sum` (21..255): the top positions are
// raised first, each by at most 39.
TComb CombWithSum(int sum) {
  TComb c{1, 2, 3, 4, 5, 6};
  int rest = sum - MinSum;
  for (int i = 5; i >= 0; --i) {
    const int add = std::min(rest, 39);
    c[static_cast<size_t>(i)] = static_cast<uint8_t>(c[static_cast<size_t>(i)] + add);
    rest -= add;
  }
  return c;
}

TDrawsArray DrawsWithSums(std::initializer_list<int> sums, int firstNumber = 101) {
  TDrawsArray draws;
  int number = firstNumber;
  for (int s : sums) draws.push_back(Draw(number++, CombWithSum(s)));
  return draws;
}

TStatDraw Rec(int32_t first, int32_t second = 0) {
  TStatDraw r;
  SetKey32(r.Key, first, second);
  return r;
}

TStatDrawArray SelectPair(int32_t first, int32_t second) {
  TStatDrawArray a(1);
  SetKey32(a[0].Key, first, second);
  return a;
}

class SumStats : public ::testing::Test, public test::TStatsFixture {};

TEST(SumHelpers, ConstantsAndTheTestCombinations) {
  EXPECT_EQ(MinSum, 21);
  EXPECT_EQ(MaxSum, 255);
  EXPECT_EQ(SumStep, 23);
  for (int s : {21, 22, 92, 130, 183, 255}) EXPECT_EQ(SumOf(CombWithSum(s)), s);
  EXPECT_EQ(SumRangeOf(1).Low, 93);
  EXPECT_EQ(SumRangeOf(1).High, 183);
  EXPECT_EQ(SumRangeOf(2).Low, 102);
  EXPECT_EQ(SumRangeOf(2).High, 174);
  EXPECT_EQ(SumRangeOf(3).Low, 110);
  EXPECT_EQ(SumRangeOf(3).High, 166);
  EXPECT_GT(SumRangeOf(4).Low, SumRangeOf(4).High);  // no range: nothing is inside
}

TEST_F(SumStats, DescriptorsAndRegistration) {
  struct TCase {
    const char* Code;
    const char* Caption;
    const char* Flags;
    bool AcceptsValueList;
  };
  const TCase cases[] = {
      {"SUMS", "Сумма тиража: все значения", "NG", true},
      {"SUM1", "Сумма тиража: диапазон 1 (1/3)", "NG", false},
      {"SUM2", "Сумма тиража: диапазон 2 (1/2)", "NG", false},
      {"SUM3", "Сумма тиража: диапазон 3 (2/3)", "NG", false},
      {"SUMC", "Сумма тиража: изменения (точно)", "DG", false},
      {"SUMV", "Сумма тиража: изменения (диапазон)", "D", false},
      {"SUMT", "Сумма тиража: направление изменения", "DG", false},
      {"SUME", "Сумма тиража: только четные", "NG", true},
      {"SUMP", "Сумма тиража: только простые", "NG", true},
      {"S2T3", "Сумма двух чисел тиража равна третьему числу", "NG", true},
  };
  const int first = list.IndexOfCode("SUMS");
  ASSERT_GE(first, 0);
  for (int k = 0; k < static_cast<int>(std::size(cases)); ++k) {
    const TCase& c = cases[k];
    const TStatMethod& m = list.Items(first + k);  // registration order
    EXPECT_EQ(m.Code(), c.Code);
    EXPECT_EQ(m.DefaultName(), c.Caption) << c.Code;
    EXPECT_EQ(KindMarks(StatFlags(*m.StatClass)), c.Flags) << c.Code;
    EXPECT_EQ(m.StatClass->AcceptsValueList, c.AcceptsValueList) << c.Code;
    EXPECT_EQ(m.StatClass->Group, 1) << c.Code;
    EXPECT_EQ(HelpTopicFor(*m.StatClass, m.Param), c.Code);
    EXPECT_EQ(list.IsFullSetComputable(first + k), std::string(c.Flags).find('N') != std::string::npos);
  }
  EXPECT_EQ(list.IndexOfCode("SUM4"), -1);
  EXPECT_EQ(list.ListCaption(first, true), "{ sum } Сумма тиража: все значения [ NG ]");
  EXPECT_EQ(list.ListCaption(list.IndexOfCode("SUMV"), true), "{ sum } Сумма тиража: изменения (диапазон) [ D ]");
}

// ---- Values of six numbers -----------------------------------------------------------------

struct TSixCase {
  TComb Nums;
  int S, Se, Sp, T;
};

// T counts each number once per unordered pair of two others adding up to it.
const TSixCase SixCases[] = {
    {{1, 2, 3, 4, 5, 6}, 21, 12, 11, 6},  // 1+2=3, 1+3=4, 1+4=5, 2+3=5, 1+5=6, 2+4=6
    {{40, 41, 42, 43, 44, 45}, 255, 126, 84, 0},
    {{10, 20, 30, 40, 41, 42}, 183, 142, 41, 2},  // 10+20=30, 10+30=40
    {{2, 3, 5, 7, 8, 10}, 35, 20, 17, 5},         // 5, 7, 8, 10 = 2+8 and 3+7
    {{35, 15, 9, 8, 6, 4}, 77, 18, 0, 1},         // unsorted; 6+9=15
    {{4, 6, 8, 9, 15, 35}, 77, 18, 0, 1},
};

TEST_F(SumStats, ValuesOfSixNumbers) {
  auto sums = Create("SUMS");
  auto even = Create("SUME");
  auto prime = Create("SUMP");
  auto twoToThree = Create("S2T3");
  for (const TSixCase& c : SixCases) {
    SCOPED_TRACE(CombToText(c.Nums));
    EXPECT_EQ(sums->GraphValue(c.Nums, 0, 0, false), c.S);
    EXPECT_EQ(even->GraphValue(c.Nums, 0, 0, false), c.Se);
    EXPECT_EQ(prime->GraphValue(c.Nums, 0, 0, false), c.Sp);
    EXPECT_EQ(twoToThree->GraphValue(c.Nums, 0, 0, false), c.T);
    const std::pair<TCustomStat*, int> each[] = {
        {sums.get(), c.S}, {even.get(), c.Se}, {prime.get(), c.Sp}, {twoToThree.get(), c.T}};
    for (auto [stat, value] : each) {
      TStatDrawArray own;
      stat->CalcCombination(c.Nums, own);
      ASSERT_EQ(own.size(), 1u) << stat->Class().Code;
      EXPECT_EQ(own[0].Key, Rec(value).Key) << stat->Class().Code;
      EXPECT_EQ(own[0].Hits, 1);
      EXPECT_EQ(own[0].Draw, 0);
    }
  }
}

TEST_F(SumStats, SumsWindowPreListsEverySumAndCountsDraws) {
  draws = {Draw(100, {1, 2, 3, 4, 5, 6}), Draw(101, {6, 5, 4, 3, 2, 1}), Draw(102, {10, 20, 30, 40, 41, 42})};
  auto stat = Create("SUMS");
  for (bool sorted : {false, true}) {
    const TStatDrawArray values = WindowValues(*stat, 0, 2, sorted);
    ASSERT_EQ(values.size(), static_cast<size_t>(MaxSum - MinSum + 1));
    EXPECT_EQ(Key32(values.front().Key), 21);
    EXPECT_EQ(Key32(values.back().Key), 255);
    const TStatDraw* s21 = FindValue(values, 21);
    ASSERT_NE(s21, nullptr);
    EXPECT_EQ(s21->Hits, 2);
    EXPECT_EQ(s21->Draw, 101);
    EXPECT_EQ(s21->Age, 2);
    EXPECT_EQ(s21->MinGap, 1);
    EXPECT_EQ(s21->MaxGap, 1);
    EXPECT_EQ(FindValue(values, 183)->Hits, 1);
    EXPECT_EQ(FindValue(values, 183)->Age, 1);
    const TStatDraw* never = FindValue(values, 130);
    EXPECT_EQ(never->Hits, 0);
    EXPECT_EQ(never->Age, 0);
    EXPECT_EQ(never->Draw, 0);
    EXPECT_EQ(stat->ValueToText(*s21), "21");
  }
}

TEST_F(SumStats, PartialSumsAndTwoToThreeListOnlyWhatOccurs) {
  draws = {Draw(1, {1, 2, 3, 4, 5, 6}), Draw(2, {2, 3, 5, 7, 8, 10}), Draw(3, {40, 41, 42, 43, 44, 45})};
  auto twoToThree = Create("S2T3");
  const TStatDrawArray t = WindowValues(*twoToThree, 0, 2, true);
  ASSERT_EQ(t.size(), 3u);  // first-appearance order
  EXPECT_EQ(Key32(t[0].Key), 6);
  EXPECT_EQ(Key32(t[1].Key), 5);
  EXPECT_EQ(Key32(t[2].Key), 0);
  EXPECT_EQ(t[2].Age, 1);
  const TStatDrawArray p = WindowValues(*Create("SUMP"), 0, 2, false);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(Key32(p[1].Key), 17);
  EXPECT_EQ(WindowValues(*Create("SUME"), 1, 2, false).size(), 2u);
}

TEST_F(SumStats, TypedValuesReadBack) {
  for (const char* code : {"SUMS", "SUME", "SUMP", "S2T3"}) {
    auto stat = Create(code);
    for (int32_t v : {0, 6, 21, 130, 255}) {
      const std::string text = stat->ValueToText(Rec(v));
      EXPECT_EQ(text, std::to_string(v)) << code;
      EXPECT_EQ(stat->TextToValue(text), v) << code;
      EXPECT_EQ(stat->ParseValue(text), v) << code;
    }
  }
  // No typed values for ranges and transitions.
  for (const char* code : {"SUM1", "SUMC", "SUMV", "SUMT"}) EXPECT_EQ(Create(code)->ParseValue("12"), 0) << code;
}

TEST_F(SumStats, MatchesOfSixNumberValues) {
  auto sums = Create("SUMS");
  sums->LoadDraw(-1, 0, true);
  const TStatDrawArray selected = Select({130, 21});
  EXPECT_TRUE(sums->Matches(CombWithSum(130), selected, 0, true, false));
  EXPECT_TRUE(sums->Matches({1, 2, 3, 4, 5, 6}, selected, 0, true, true));  // the delete flag is not read
  EXPECT_FALSE(sums->Matches(CombWithSum(131), selected, 0, true, false));
  // The second half of the key must be 0.
  EXPECT_FALSE(sums->Matches(CombWithSum(130), SelectPair(130, 1), 0, true, false));
  sums->PrepareValues(selected);
  EXPECT_TRUE(sums->Matches(CombWithSum(21), selected, 0, true, false));
  EXPECT_FALSE(sums->Matches(CombWithSum(22), selected, 0, true, false));

  auto even = Create("SUME");
  EXPECT_TRUE(even->Matches({2, 3, 5, 7, 8, 10}, Select({20}), 0, true, false));
  EXPECT_FALSE(even->Matches({2, 3, 5, 7, 8, 10}, Select({35}), 0, true, false));
  auto prime = Create("SUMP");
  EXPECT_TRUE(prime->Matches({4, 6, 8, 9, 15, 35}, Select({0}), 0, true, false));
  EXPECT_FALSE(prime->Matches({1, 2, 3, 4, 5, 6}, Select({12}), 0, true, false));

  // S2T3 looks at Key[0] alone.
  auto twoToThree = Create("S2T3");
  EXPECT_TRUE(twoToThree->Matches({1, 2, 3, 4, 5, 6}, Select({6}), 0, true, false));
  EXPECT_TRUE(twoToThree->Matches({1, 2, 3, 4, 5, 6}, SelectPair(6, 9), 0, true, false));
  EXPECT_FALSE(twoToThree->Matches({1, 2, 3, 4, 5, 6}, Select({0, 5}), 0, true, false));
}

// ---- SUM p ----------------------------------------------------------------------------------

TEST_F(SumStats, RangeRowsAndBoundsAreInclusive) {
  draws = DrawsWithSums({92, 93, 183, 184, 120});
  auto stat = Create("SUM1");
  const TStatDrawArray values = WindowValues(*stat, 0, 4, true);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(Key32(values[0].Key), 0);
  EXPECT_EQ(Key32(values[1].Key), 1);
  EXPECT_EQ(stat->ValueToText(values[0]), "Остальные");
  EXPECT_EQ(stat->ValueToText(values[1]), "93-183");
  EXPECT_EQ(values[0].Hits, 2);  // 92, 184
  EXPECT_EQ(values[1].Hits, 3);  // 93, 183, 120
  EXPECT_EQ(values[1].Age, 1);
  EXPECT_EQ(values[0].Age, 2);

  EXPECT_EQ(Create("SUM2")->ValueToText(Rec(1)), "102-174");
  auto narrow = Create("SUM3");
  const TStatDrawArray three = WindowValues(*narrow, 0, 3, true);
  EXPECT_EQ(three[0].Hits, 4);
  EXPECT_EQ(three[1].Hits, 0);
  EXPECT_EQ(narrow->ValueToText(three[1]), "110-166");
  EXPECT_EQ(narrow->GraphValueOfDraw(4, 4, true), 1);
  EXPECT_EQ(narrow->GraphValueOfDraw(0, 4, true), 0);
}

TEST_F(SumStats, RangeMatchesWithInsideDominant) {
  auto stat = Create("SUM1");
  stat->LoadDraw(-1, 0, true);
  struct TCase {
    TStatDrawArray Selected;
    int Sum;
    bool Expected;
  };
  const TCase cases[] = {
      {Select({1}), 93, true},     {Select({1}), 183, true},     {Select({1}), 92, false},
      {Select({1}), 184, false},   {Select({0}), 92, true},      {Select({0}), 184, true},
      {Select({0}), 93, false},    {Select({0, 1}), 93, true},   {Select({0, 1}), 92, false},
      {Select({1, 0}), 184, false}, {Select({}), 92, false},     {Select({}), 120, false},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(stat->Matches(CombWithSum(c.Sum), c.Selected, 0, true, false), c.Expected)
        << c.Sum << " with " << c.Selected.size() << " rows";
}

// ---- Transitions -----------------------------------------------------------------------------

// Reference (last) sum 100; its sum was also reached by draws 0, 2 and 4,
// which were followed by 120, 90 and 120.
TDrawsArray ChangeDraws() { return DrawsWithSums({100, 120, 100, 90, 100, 120, 100}); }

TEST_F(SumStats, ChangeListsWhatFollowedTheReferenceSum) {
  draws = ChangeDraws();
  auto stat = Create("SUMC");
  const TStatDrawArray values = WindowValues(*stat, 0, 6, true);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(Key32(values[0].Key, 1), 100);
  EXPECT_EQ(Key32(values[0].Key, 2), 120);
  EXPECT_EQ(values[0].Hits, 2);
  EXPECT_EQ(values[0].Draw, 106);
  EXPECT_EQ(values[0].Age, 2);
  EXPECT_EQ(values[0].MinGap, 4);
  EXPECT_EQ(values[0].MaxGap, 4);
  EXPECT_EQ(stat->ValueToText(values[0]), "+20 : 100 + 20 = 120");
  EXPECT_EQ(values[1].Hits, 1);
  EXPECT_EQ(values[1].Age, 4);
  EXPECT_EQ(stat->ValueToText(values[1]), "- 10 : 100 - 10 = 90");
  EXPECT_EQ(stat->ValueToText(Rec(120, 120)), "+00 : 120 + 0 = 120");
  EXPECT_EQ(stat->ValueToText(Rec(130, 125)), "- 05 : 130 - 5 = 125");
  EXPECT_EQ(stat->ValueToText(Rec(21, 255)), "+234 : 21 + 234 = 255");

  // Ending at draw 5 (sum 120): only draw 1 had that sum, and 100 followed it.
  const TStatDrawArray earlier = WindowValues(*stat, 0, 5, true);
  ASSERT_EQ(earlier.size(), 1u);
  EXPECT_EQ(Key32(earlier[0].Key, 1), 120);
  EXPECT_EQ(Key32(earlier[0].Key, 2), 100);
  EXPECT_EQ(earlier[0].Hits, 1);

  EXPECT_EQ(stat->FindNextOccurrence(Rec(100, 90), 0, 6, true), 104);
  EXPECT_EQ(stat->FindNextOccurrence(Rec(100, 90), 4, 6, true), -1);
}

TEST_F(SumStats, ChangeIsEmptyWithoutAMatchingPredecessor) {
  draws = DrawsWithSums({100, 110, 120, 130});
  EXPECT_TRUE(WindowValues(*Create("SUMC"), 0, 3, true).empty());
  // SUMV still sees 110 -> 120 and 120 -> 130: both predecessors are within 23 of 130.
  const TStatDrawArray some = WindowValues(*Create("SUMV"), 0, 3, true);
  ASSERT_EQ(some.size(), 1u);
  EXPECT_EQ(Key32(some[0].Key), 10);
  EXPECT_EQ(some[0].Hits, 2);
  const TStatDrawArray trend = WindowValues(*Create("SUMT"), 0, 3, true);
  ASSERT_EQ(trend.size(), 3u);
  for (const auto& v : trend) EXPECT_EQ(v.Hits, 0);
  TStatDrawArray own;
  for (const char* code : {"SUMC", "SUMV", "SUMT"}) {
    Create(code)->CalcCombination({1, 2, 3, 4, 5, 6}, own);
    EXPECT_TRUE(own.empty()) << code;
  }
}

TEST_F(SumStats, TrendPreListsAllThreeDirections) {
  draws = ChangeDraws();
  auto stat = Create("SUMT");
  const TStatDrawArray values = WindowValues(*stat, 0, 6, true);
  ASSERT_EQ(values.size(), 3u);
  const char* texts[] = {"=", "+", "-"};
  const int32_t keys[] = {0, 1, -1};
  const int hits[] = {0, 2, 1};
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(Key32(values[k].Key), keys[k]);
    EXPECT_EQ(stat->ValueToText(values[k]), texts[k]);
    EXPECT_EQ(values[k].Hits, hits[k]) << texts[k];
  }
  EXPECT_EQ(values[0].Age, 0);
  EXPECT_EQ(values[0].Draw, 0);
  EXPECT_EQ(values[2].Key[0], -1);
  EXPECT_EQ(values[2].Key[1], -1);  // -1 fills both halves
}

// Predecessor sums 106 and 154 lie just outside 130 +- 23, 107 and 153 just inside.
TEST_F(SumStats, ChangeSomeCountsPredecessorsWithinTheStep) {
  draws = DrawsWithSums({106, 110, 107, 100, 153, 160, 154, 150, 130});
  auto stat = Create("SUMV");
  const TStatDrawArray values = WindowValues(*stat, 0, 8, true);
  std::vector<int32_t> keys;
  std::vector<std::string> texts;
  for (const auto& v : values) {
    keys.push_back(Key32(v.Key));
    texts.push_back(stat->ValueToText(v));
  }
  // 110 -> 107, 107 -> 100, 153 -> 160, 150 -> 130; not 106 -> 110 nor 154 -> 150.
  EXPECT_EQ(keys, (std::vector<int32_t>{-3, -7, 7, -20}));
  EXPECT_EQ(texts, (std::vector<std::string>{"- 03", "- 07", "+07", "- 20"}));
  EXPECT_EQ(stat->ValueToText(Rec(0)), "+00");
  EXPECT_EQ(stat->ValueToText(Rec(-150)), "- 150");
  EXPECT_EQ(values[3].Age, 1);
}

// The oldest draw has no predecessor: it is no transition from a sum of 0,
// even when the reference sum is within the step of 0.
TEST_F(SumStats, OldestDrawIsNoTransition) {
  draws = {Draw(1, CombWithSum(130)), Draw(2, {1, 2, 3, 4, 5, 7}), Draw(3, {1, 2, 3, 4, 5, 6})};
  for (const char* code : {"SUMV", "SUMC"}) {
    EXPECT_TRUE(WindowValues(*Create(code), 0, 1, true).empty()) << code;
  }
  // With the reference sum 21 the move 22 -> 21 counts, and draw 0 still does not.
  const TStatDrawArray v = WindowValues(*Create("SUMV"), 0, 2, true);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(Key32(v[0].Key), -1);
  EXPECT_EQ(v[0].Draw, 3);
}

TEST_F(SumStats, TransitionGraphsReadThePreviousDraw) {
  draws = ChangeDraws();
  auto change = Create("SUMC");
  auto trend = Create("SUMT");
  EXPECT_EQ(change->GraphValueOfDraw(0, 6, true), 100);  // nothing before: its own sum
  EXPECT_EQ(trend->GraphValueOfDraw(0, 6, true), 1);
  EXPECT_EQ(change->GraphValueOfDraw(3, 6, true), -10);
  EXPECT_EQ(trend->GraphValueOfDraw(3, 6, false), -1);
  EXPECT_EQ(change->GraphValueOfDraw(1, 6, false), 20);
  EXPECT_EQ(trend->GraphValueOfDraw(4, 6, true), 1);
  // A combination as the next draw after the newest one.
  EXPECT_EQ(change->GraphValue(CombWithSum(100), 7, 6, true), 0);
  EXPECT_EQ(trend->GraphValue(CombWithSum(100), 7, 6, true), 0);
  EXPECT_EQ(trend->GraphValue(CombWithSum(99), 7, 6, true), -1);
}

TEST_F(SumStats, TransitionMatchesAgainstDrawL) {
  draws = DrawsWithSums({106, 110, 107, 100, 153, 160, 154, 150, 130});
  auto some = Create("SUMV");
  some->LoadDraw(-1, 8, true);  // R = 130
  const TStatDrawArray steps = Select({-7, 7});
  EXPECT_TRUE(some->Matches(CombWithSum(123), steps, 8, true, false));
  EXPECT_TRUE(some->Matches(CombWithSum(137), steps, 8, true, true));
  EXPECT_FALSE(some->Matches(CombWithSum(131), steps, 8, true, false));
  some->LoadDraw(-1, 4, true);  // R = 153
  EXPECT_TRUE(some->Matches(CombWithSum(160), steps, 4, true, false));
  EXPECT_FALSE(some->Matches(CombWithSum(137), steps, 4, true, false));

  auto trend = Create("SUMT");
  trend->LoadDraw(-1, 8, false);
  struct TCase {
    int32_t Selected;
    int Sum;
    bool Expected;
  };
  const TCase trendCases[] = {{1, 131, true}, {1, 130, false}, {1, 129, false}, {0, 130, true},
                              {-1, 129, true}, {-1, 255, false}, {0, 21, false}};
  for (const TCase& c : trendCases)
    EXPECT_EQ(trend->Matches(CombWithSum(c.Sum), Select({c.Selected}), 8, false, false), c.Expected)
        << c.Selected << " / " << c.Sum;

  // SUMC reads the second sum of a pair only.
  auto change = Create("SUMC");
  change->LoadDraw(-1, 8, true);
  EXPECT_TRUE(change->Matches(CombWithSum(120), SelectPair(100, 120), 8, true, false));
  EXPECT_TRUE(change->Matches(CombWithSum(120), SelectPair(55, 120), 8, true, false));
  EXPECT_FALSE(change->Matches(CombWithSum(100), SelectPair(100, 120), 8, true, false));
}

}  // namespace
}  // namespace vexa
