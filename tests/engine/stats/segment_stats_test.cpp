#include "stats/segment_stats.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/settings.h"
#include "acquire/demo_draws.h"
#include "stat_contract.h"
#include "stats_fixture.h"

namespace vexa {
namespace {

using test::Draw;
using test::WindowValues;

// "text=hits" of every value that occurred, in list order.
std::vector<std::string> Occurred(const TCustomStat& stat, const TStatDrawArray& values) {
  std::vector<std::string> s;
  for (const auto& v : values)
    if (v.Hits > 0) s.push_back(stat.ValueToText(v) + "=" + std::to_string(v.Hits));
  return s;
}

TStatDrawArray SelectKey(TStatKey4 key) {
  TStatDrawArray a(1);
  a[0].Key = key;
  return a;
}

// Numbers 1..5 in segment 1, 6..10 in segment 2, .., 41..45 in segment 9.
std::string NineBlocks() {
  std::string s;
  for (char d = '1'; d <= '9'; ++d) s += std::string(5, d);
  return s;
}

class SegmentStats : public ::testing::Test, public test::TStatsFixture {
 protected:
  void UseSegments(const std::string& text) {
    list.Config.MatrixSegments = MatrixSegmentsFromText(text);
    list.RegisterAll();
  }
  std::vector<int> RegisteredSgm() const {
    std::vector<int> s;
    for (int p = 0; p <= 9; ++p)
      if (list.IndexOfCode("SGM" + std::to_string(p)) >= 0) s.push_back(p);
    return s;
  }
};

TEST_F(SegmentStats, Descriptors) {
  struct Case {
    const char* code;
    const char* flags;
    const char* topic;
    bool valueList;
    const char* caption;
  } cases[] = {
      {"SGMS", "N", "SGMS", true, "Сегменты матрицы"},
      {"SGMV", "N", "SGMV", false, "Количество чисел в сегменте матрицы"},
      {"SGMC", "NG", "SGMC", true, "Количество не пустых сегментов в матрице"},
      {"KGM2", "S", "KGM2", false, "Сочетания из 2 сегментов по всем числам тиража"},
      {"KGM4", "S", "KGM4", false, "Сочетания из 4 сегментов по всем числам тиража"},
      {"KGS3", "S", "KGS3", false, "Сочетания из 3 сегментов по соседним числам"},
      {"SGM1", "NG", "SGMx", true, "Количество чисел в 1 сегменте матрицы"},
  };
  for (const auto& c : cases) {
    const int i = list.IndexOfCode(c.code);
    ASSERT_GE(i, 0) << c.code;
    const TStatClass& cls = *list.Items(i).StatClass;
    EXPECT_EQ(cls.Group, 5) << c.code;
    EXPECT_EQ(KindMarks(StatFlags(cls)), c.flags) << c.code;
    EXPECT_EQ(HelpTopicFor(cls, list.Items(i).Param), c.topic) << c.code;
    EXPECT_EQ(cls.AcceptsValueList, c.valueList) << c.code;
    EXPECT_EQ(list.Items(i).DefaultName(), c.caption) << c.code;
  }
}

TEST_F(SegmentStats, ParameterRangeFromTheTable) {
  struct Case {
    std::string text;
    std::vector<int> registered;
  } cases[] = {
      {"", {1}},
      {NineBlocks(), {1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {std::string(45, '5'), {5}},
      {std::string(45, '9'), {9}},
      {std::string(45, '0'), {0, 1}},  // the highest starts from 1
      {"37" + std::string(43, '7'), {3, 4, 5, 6, 7}},
      {"0123", {0, 1, 2, 3}},
      {"0A2", {0, 1, 2}},
  };
  for (const auto& c : cases) {
    UseSegments(c.text);
    EXPECT_EQ(RegisteredSgm(), c.registered) << c.text;
  }
}

TEST_F(SegmentStats, DefaultTableIsOneSegment) {
  draws = {Draw(1, {3, 8, 9, 21, 44, 45}), Draw(2, {1, 2, 3, 4, 5, 6})};
  struct Case {
    const char* code;
    std::vector<std::string> occurred;
  } cases[] = {
      {"SGMS", {"1=12"}}, {"SGMV", {"1 x 6=2"}}, {"SGMC", {"1=2"}}, {"SGM1", {"6=2"}},
      {"KGM2", {"1:1=30"}}, {"KGS4", {"1:1:1:1=6"}},
  };
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    EXPECT_EQ(Occurred(*stat, WindowValues(*stat, 0, 1, false)), c.occurred) << c.code;
  }
  EXPECT_EQ(RegisteredSgm(), std::vector<int>{1});
  EXPECT_EQ(Create("SGMC")->GraphValueOfDraw(0, 1, false), 1);
  EXPECT_EQ(Create("SGM1")->GraphValueOfDraw(1, 1, false), 6);
}

TEST_F(SegmentStats, NineBlocksActLikeChannelsOfFive) {
  UseSegments(NineBlocks());
  draws = {Draw(4, {44, 3, 9, 21, 8, 45})};
  struct Case {
    const char* code;
    bool sorted;
    std::vector<std::string> occurred;
  } cases[] = {
      {"SGMS", false, {"1=1", "2=2", "5=1", "9=2"}},
      {"SGMV", false, {"1 x 1=1", "2 x 2=1", "3 x 0=1", "4 x 0=1", "5 x 1=1", "6 x 0=1", "7 x 0=1", "8 x 0=1",
                       "9 x 2=1"}},
      {"SGMC", false, {"4=1"}},
      {"SGM2", false, {"2=1"}},
      {"SGM3", false, {"0=1"}},
      {"SGM9", false, {"2=1"}},
      {"KGS2", false, {"9:1=1", "1:2=1", "2:5=1", "5:2=1", "2:9=1"}},
      {"KGS2", true, {"1:2=1", "2:2=1", "2:5=1", "5:9=1", "9:9=1"}},
      {"KGS3", true, {"1:2:2=1", "2:2:5=1", "2:5:9=1", "5:9:9=1"}},
      {"KGM3", true, {"1:2:2=1", "1:2:5=2", "1:2:9=4", "1:5:9=2", "1:9:9=1", "2:2:5=1", "2:2:9=2", "2:5:9=4",
                      "2:9:9=2", "5:9:9=1"}},
  };
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    EXPECT_EQ(Occurred(*stat, WindowValues(*stat, 0, 0, c.sorted)), c.occurred) << c.code << " " << c.sorted;
  }
  TStatDrawArray pre;
  Create("SGMS")->ListAllValues(0, pre);
  ASSERT_EQ(pre.size(), 9u);
  for (size_t s = 0; s < 9; ++s) EXPECT_EQ(Key32(pre[s].Key), static_cast<int32_t>(s + 1));
  // Sorted 1 2 3 4 5 6: (1,1) four times and (1,2) once.
  draws = {Draw(5, {6, 5, 4, 3, 2, 1})};
  auto kgs2 = Create("KGS2");
  EXPECT_EQ(Occurred(*kgs2, WindowValues(*kgs2, 0, 0, true)), (std::vector<std::string>{"1:1=4", "1:2=1"}));
}

TEST_F(SegmentStats, ZeroAndLetter) {
  // Number 1 in segment 0, 2 in segment 1 (a letter), 3 in segment 2, the rest in 1.
  UseSegments("0A2");
  draws = {Draw(1, {1, 2, 3, 4, 5, 6})};
  struct Case {
    const char* code;
    std::vector<std::string> occurred;
  } cases[] = {
      {"SGMS", {"0=1", "1=4", "2=1"}}, {"SGMV", {"0 x 1=1", "1 x 4=1", "2 x 1=1"}},
      {"SGMC", {"3=1"}},               {"SGM0", {"1=1"}},
      {"SGM1", {"4=1"}},               {"KGS2", {"0:1=1", "1:2=1", "2:1=1", "1:1=2"}},
  };
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    EXPECT_EQ(Occurred(*stat, WindowValues(*stat, 0, 0, false)), c.occurred) << c.code;
  }
  TStatDrawArray pre;
  Create("SGMS")->ListAllValues(0, pre);
  ASSERT_EQ(pre.size(), 3u);
  EXPECT_EQ(pre[0].Key[0], 0);
  EXPECT_EQ(pre[1].Key[0], 1);
  EXPECT_EQ(pre[2].Key[0], 2);
  for (const auto& e : pre) EXPECT_EQ(e.Hits + e.Age + e.Draw, 0);
  // Segments are listed in order of first appearance, not by value.
  UseSegments("3" + std::string(44, '2'));
  TStatDrawArray order;
  Create("SGMS")->ListAllValues(0, order);
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(order[0].Key[0], 3);
  EXPECT_EQ(order[1].Key[0], 2);
  TStatDrawArray pairs;
  Create("SGMV")->CalcCombination({1, 2, 3, 4, 5, 6}, pairs);
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(Create("SGMV")->ValueToText(pairs[0]), "3 x 1");
  EXPECT_EQ(Create("SGMV")->ValueToText(pairs[1]), "2 x 5");
}

TEST_F(SegmentStats, NothingPreListedButSegments) {
  UseSegments(NineBlocks());
  for (const char* code : {"SGMV", "SGMC", "SGM3", "KGM2", "KGS4"}) {
    TStatDrawArray v;
    Create(code)->ListAllValues(0, v);
    EXPECT_TRUE(v.empty()) << code;
  }
  for (const char* code : {"KGM2", "KGM3", "KGM4", "KGS2", "KGS3", "KGS4"}) {
    TStatDrawArray v;
    Create(code)->CalcCombination({1, 2, 3, 4, 5, 6}, v);
    EXPECT_TRUE(v.empty()) << code;
  }
}

TEST_F(SegmentStats, ASettingChangeDoesNotReachACreatedMethod) {
  UseSegments(NineBlocks());
  auto sgmc = Create("SGMC");
  list.Config.MatrixSegments = MatrixSegmentsFromText("");
  EXPECT_EQ(sgmc->GraphValue({1, 6, 11, 16, 21, 26}, 0, 0, false), 6);
  EXPECT_EQ(Create("SGMC")->GraphValue({1, 6, 11, 16, 21, 26}, 0, 0, false), 1);
}

TEST_F(SegmentStats, MatchesByHand) {
  UseSegments(NineBlocks());
  const TComb comb = {3, 8, 9, 21, 44, 45};  // segments 1 2 2 5 9 9
  struct Case {
    const char* code;
    TStatKey4 selected;
    bool expected;
  } cases[] = {
      {"SGMS", {9, 0, 0, 0}, true},     {"SGMS", {3, 0, 0, 0}, false},   {"SGMS", {5, 2, 0, 0}, true},
      {"SGMV", {3, 0, 0, 0}, true},     {"SGMV", {2, 2, 0, 0}, true},    {"SGMV", {2, 1, 0, 0}, false},
      {"SGMV", {1, 0, 0, 0}, false},    {"SGMV", {9, 2, 0, 1}, false},   {"SGMC", {4, 0, 0, 0}, true},
      {"SGMC", {5, 0, 0, 0}, false},    {"SGM2", {2, 0, 0, 0}, true},    {"SGM3", {0, 0, 0, 0}, true},
      {"SGM9", {1, 0, 0, 0}, false},    {"KGM2", {1, 9, 0, 0}, true},    {"KGM2", {9, 1, 0, 0}, false},
      {"KGS2", {2, 5, 0, 0}, true},     {"KGS2", {1, 5, 0, 0}, false},   {"KGM4", {1, 2, 5, 9}, true},
      {"KGM4", {2, 2, 9, 9}, true},     {"KGS4", {1, 2, 5, 9}, false},   {"KGS3", {5, 9, 9, 0}, true},
  };
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    stat->LoadDraw(-1, 0, false);
    const TStatDrawArray values = SelectKey(c.selected);
    EXPECT_EQ(stat->Matches(comb, values, 0, false, false), c.expected) << c.code;
    stat->PrepareValues(values);
    EXPECT_EQ(stat->Matches(comb, values, 0, false, false), c.expected) << c.code << " prepared";
  }
}

// A combination has the values of a draw of the same numbers, in the same
// order and with the same hits; the tuple methods (order-dependent) give none.
// Every method, several tables: Matches with and without PrepareValues says
// whether the numbers, taken as a draw in their order, have a selected value.
// The contract suite walks the default table and segments 0..3; these
// tables have nine segments, a letter among the digits, or are random.
TEST_F(SegmentStats, FilterContractUnderOtherTables) {
  std::mt19937 rng(23);
  std::string random;
  for (int n = 0; n < 45; ++n) random += static_cast<char>('0' + rng() % 10);
  draws = GenerateDemoDraws(80, 23);
  const auto sample = test::ContractSample(draws, 79, test::QuickContract ? 60 : 300, 23);
  for (const std::string& table : {NineBlocks(), std::string("0A2"), random}) {
    UseSegments(table);
    test::ExpectFilterContract(list, sample, 79, "table " + table,
                               [](const TStatMethod& m) { return m.StatClass->Group == 5; });
  }
}

}  // namespace
}  // namespace vexa
