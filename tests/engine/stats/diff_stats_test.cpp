#include "stats/diff_stats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "acquire/demo_draws.h"
#include "stats_fixture.h"

namespace vexa {
namespace {

using test::Draw;
using test::FindValue;
using test::Select;
using test::WindowValues;

TStatKey4 Key(int a, int b = 0, int c = 0, int d = 0) {
  return {static_cast<int16_t>(a), static_cast<int16_t>(b), static_cast<int16_t>(c), static_cast<int16_t>(d)};
}

const TStatDraw* FindKey(const TStatDrawArray& values, const TStatKey4& key) {
  for (const auto& e : values)
    if (e.Key == key) return &e;
  return nullptr;
}

class DiffStats : public ::testing::Test, public test::TStatsFixture {};

TEST_F(DiffStats, Descriptors) {
  struct Case {
    const char* code;
    const char* flags;
    bool acceptsList;
    const char* caption;
  } cases[] = {
      {"DIFA", "SN", true, "Все разности между соседними позициями"},
      {"DIFM", "SNG", true, "Максимальная разность между соседними позициями"},
      {"DIFD", "NG", true, "Разность между минимальным и максимальным числом"},
      {"DIFO", "SN", false, "Одинаковые разности между соседними позициями"},
      {"DIFK", "SNG", true, "Количество одинаковых разностей между соседними позициями"},
      {"KDS2", "S", false, "Сочетания из 2 разностей между числами"},
      {"KDS3", "S", false, "Сочетания из 3 разностей между числами"},
      {"KDS4", "S", false, "Сочетания из 4 разностей между числами"},
  };
  for (const auto& c : cases) {
    const int i = list.IndexOfCode(c.code);
    ASSERT_GE(i, 0) << c.code;
    const TStatClass& cls = *list.Items(i).StatClass;
    EXPECT_EQ(cls.Group, 2) << c.code;
    EXPECT_EQ(KindMarks(StatFlags(cls)), c.flags) << c.code;
    EXPECT_EQ(cls.AcceptsValueList, c.acceptsList) << c.code;
    EXPECT_EQ(list.Items(i).DefaultName(), c.caption) << c.code;
    EXPECT_EQ(HelpTopicFor(cls, 0), c.code);
  }
  // Registration order: the five after the sums, the runs after the combination values.
  EXPECT_EQ(list.IndexOfCode("DIFA"), list.IndexOfCode("S2T3") + 1);
  EXPECT_EQ(list.IndexOfCode("DIFK"), list.IndexOfCode("DIFA") + 4);
  EXPECT_EQ(list.IndexOfCode("KDS4"), list.IndexOfCode("KDS2") + 2);
}

TEST_F(DiffStats, NeighbourDiffsAreAbsolute) {
  EXPECT_EQ(NeighbourDiffs({3, 6, 9, 12, 20, 21}), (TNeighbourDiffs{3, 3, 3, 8, 1}));
  EXPECT_EQ(NeighbourDiffs({45, 1, 20, 30, 2, 10}), (TNeighbourDiffs{44, 19, 10, 28, 8}));
}

// 3 6 9 12 20 21: differences 3 3 3 8 1.
TEST_F(DiffStats, ValuesOfOneDrawByHand) {
  draws = {Draw(5, {3, 6, 9, 12, 20, 21})};
  struct Expected {
    TStatKey4 key;
    int hits;
    const char* text;
  };
  struct Case {
    const char* code;
    std::vector<Expected> values;  // every value with Hits > 0
  } cases[] = {
      {"DIFA", {{Key(3), 3, "3"}, {Key(8), 1, "8"}, {Key(1), 1, "1"}}},
      {"DIFM", {{Key(8), 1, "8"}}},
      {"DIFD", {{Key(18), 1, "18"}}},
      {"DIFK", {{Key(3), 1, "3"}}},
      {"DIFO", {{Key(3, 3), 1, "3 x 3"}, {Key(8, 1), 1, "8 x 1"}, {Key(1, 1), 1, "1 x 1"}}},
      {"KDS2", {{Key(3, 3), 2, "3:3"}, {Key(3, 8), 1, "3:8"}, {Key(8, 1), 1, "8:1"}}},
      {"KDS3", {{Key(3, 3, 3), 1, "3:3:3"}, {Key(3, 3, 8), 1, "3:3:8"}, {Key(3, 8, 1), 1, "3:8:1"}}},
      {"KDS4", {{Key(3, 3, 3, 8), 1, "3:3:3:8"}, {Key(3, 3, 8, 1), 1, "3:3:8:1"}}},
  };
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    const TStatDrawArray v = WindowValues(*stat, 0, 0, false);
    const auto occurred = std::count_if(v.begin(), v.end(), [](const TStatDraw& e) { return e.Hits > 0; });
    EXPECT_EQ(static_cast<size_t>(occurred), c.values.size()) << c.code;
    for (const auto& e : c.values) {
      const TStatDraw* found = FindKey(v, e.key);
      ASSERT_NE(found, nullptr) << c.code << " " << e.text;
      EXPECT_EQ(found->Hits, e.hits) << c.code << " " << e.text;
      EXPECT_EQ(found->Draw, 5) << c.code;
      EXPECT_EQ(stat->ValueToText(*found), e.text) << c.code;
    }
    if (stat->HasGraph()) {
      EXPECT_EQ(stat->GraphValueOfDraw(0, 0, false), Key32(c.values[0].key)) << c.code;
    }
  }
  // Values that are not pre-listed come in order of first appearance.
  auto difo = Create("DIFO");
  const TStatDrawArray v = WindowValues(*difo, 0, 0, false);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[0].Key, Key(3, 3));
  EXPECT_EQ(v[1].Key, Key(8, 1));
  EXPECT_EQ(v[2].Key, Key(1, 1));
}

TEST_F(DiffStats, FiveDifferentDifferences) {
  draws = {Draw(1, {1, 2, 4, 7, 11, 16})};
  auto kds4 = Create("KDS4");
  const TStatDrawArray runs = WindowValues(*kds4, 0, 0, false);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].Key, Key(1, 2, 3, 4));
  EXPECT_EQ(runs[1].Key, Key(2, 3, 4, 5));
  EXPECT_EQ(kds4->ValueToText(runs[1]), "2:3:4:5");

  auto difk = Create("DIFK");
  EXPECT_EQ(FindValue(WindowValues(*difk, 0, 0, false), 1)->Hits, 1);
  EXPECT_EQ(WindowValues(*Create("DIFO"), 0, 0, false).size(), 5u);
}

// Every way five differences can repeat, the equal ones next to each other or not.
TEST_F(DiffStats, LargestCountOfEqualDifferences) {
  struct Case {
    TComb comb;
    int32_t count;
  } cases[] = {
      {{1, 2, 3, 4, 5, 6}, 5},    {{1, 2, 3, 4, 5, 7}, 4},    {{1, 2, 3, 4, 6, 8}, 3},
      {{1, 2, 3, 4, 6, 9}, 3},    {{1, 2, 3, 5, 7, 10}, 2},   {{1, 2, 3, 5, 8, 12}, 2},
      {{1, 2, 4, 7, 11, 16}, 1},  {{1, 3, 4, 6, 7, 9}, 3},    {{10, 5, 10, 5, 10, 5}, 5},
      {{9, 7, 5, 3, 4, 1}, 3},
  };
  auto difk = Create("DIFK");
  for (const auto& c : cases) EXPECT_EQ(difk->GraphValue(c.comb, 0, 0, false), c.count) << CombToText(c.comb);
}

TEST_F(DiffStats, PreListedValues) {
  struct Case {
    const char* code;
    size_t listed;
  } cases[] = {{"DIFA", 44}, {"DIFM", 44}, {"DIFD", 44}, {"DIFO", 0},
               {"DIFK", 5},  {"KDS2", 0},  {"KDS3", 0},  {"KDS4", 0}};
  for (const auto& c : cases) {
    TStatDrawArray v;
    Create(c.code)->ListAllValues(0, v);
    ASSERT_EQ(v.size(), c.listed) << c.code;
    for (size_t i = 0; i < v.size(); ++i) {
      EXPECT_EQ(v[i].Key, Key(static_cast<int>(i) + 1)) << c.code;
      EXPECT_EQ(v[i].Hits, 0) << c.code;
    }
  }
}

TEST_F(DiffStats, OnlySpreadIgnoresTheDrawingOrder) {
  // Drawn 45 1 20 30 2 10: differences 44 19 10 28 8; sorted 1 2 10 20 30 45: 1 8 10 10 15.
  draws = {Draw(1, {45, 1, 20, 30, 2, 10})};
  struct Case {
    const char* code;
    int32_t drawn, sorted;
  } cases[] = {{"DIFM", 44, 15}, {"DIFD", 44, 44}, {"DIFK", 1, 2}};
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    EXPECT_EQ(FindValue(WindowValues(*stat, 0, 0, false), c.drawn)->Hits, 1) << c.code;
    EXPECT_EQ(FindValue(WindowValues(*stat, 0, 0, true), c.sorted)->Hits, 1) << c.code;
    EXPECT_EQ(stat->GraphValueOfDraw(0, 0, false), c.drawn) << c.code;
    EXPECT_EQ(stat->GraphValueOfDraw(0, 0, true), c.sorted) << c.code;
  }
  auto difa = Create("DIFA");
  EXPECT_EQ(FindValue(WindowValues(*difa, 0, 0, false), 44)->Hits, 1);
  EXPECT_EQ(FindValue(WindowValues(*difa, 0, 0, true), 44)->Hits, 0);
}

TEST_F(DiffStats, LargestDifferenceOfAscendingNumbersIsForty) {
  draws = GenerateDemoDraws(400, 3);
  draws.push_back(Draw(401, {1, 2, 3, 4, 5, 45}));
  auto difm = Create("DIFM");
  const TStatDrawArray v = WindowValues(*difm, 0, 400, true);
  EXPECT_GE(FindValue(v, 40)->Hits, 1);
  for (int d = 41; d <= 44; ++d) EXPECT_EQ(FindValue(v, d)->Hits, 0) << d;
  EXPECT_EQ(FindValue(WindowValues(*difm, 400, 400, false), 40)->Hits, 1);

  // No ascending combination at all passes a filter on 41..44.
  const TStatDrawArray high = Select({41, 42, 43, 44});
  difm->LoadDraw(-1, 400, true);
  difm->PrepareValues(high);
  int matched = 0;
  TComb c{};
  for (c[0] = 1; c[0] <= 40; ++c[0])
    for (c[1] = c[0] + 1; c[1] <= 41; ++c[1])
      for (c[2] = c[1] + 1; c[2] <= 42; ++c[2])
        for (c[3] = c[2] + 1; c[3] <= 43; ++c[3])
          for (c[4] = c[3] + 1; c[4] <= 44; ++c[4])
            for (c[5] = c[4] + 1; c[5] <= 45; ++c[5]) matched += difm->Matches(c, high, 400, true, false);
  EXPECT_EQ(matched, 0);
}

// Only d1 of DIFA and the first run of KDS measure gaps; the merge still
// moves PrevDraw on every sighting, so a gap runs from the latest sighting
// at any position to the next one in first place.
TEST_F(DiffStats, GapsAreTrackedOnTheFirstValueOnly) {
  draws = {Draw(10, {1, 2, 3, 4, 5, 6}),       // 1 1 1 1 1
           Draw(13, {10, 20, 21, 30, 40, 45}),  // 10 1 9 10 5
           Draw(20, {7, 8, 20, 30, 40, 41})};   // 1 12 10 10 1
  const TStatDrawArray difa = WindowValues(*Create("DIFA"), 0, 2, false);
  const TStatDraw* one = FindValue(difa, 1);
  EXPECT_EQ(one->Hits, 8);
  EXPECT_EQ(one->Draw, 20);
  EXPECT_EQ(one->Age, 1);
  EXPECT_EQ(one->MinGap, 7);
  EXPECT_EQ(one->MaxGap, 7);
  const TStatDraw* ten = FindValue(difa, 10);
  EXPECT_EQ(ten->Hits, 4);
  EXPECT_EQ(ten->MinGap, 0) << "10 stood first only once";
  EXPECT_EQ(ten->MaxGap, 0);

  draws = {Draw(5, {1, 2, 3, 5, 7, 9}),   // runs 1:1 1:2 2:2 2:2
           Draw(8, {1, 3, 5, 6, 7, 8}),   // runs 2:2 2:1 1:1 1:1
           Draw(12, {2, 3, 4, 6, 8, 10})};  // runs 1:1 1:2 2:2 2:2
  const TStatDrawArray kds2 = WindowValues(*Create("KDS2"), 0, 2, false);
  const TStatDraw* ones = FindKey(kds2, Key(1, 1));
  EXPECT_EQ(ones->Hits, 4);
  EXPECT_EQ(ones->MinGap, 4);
  EXPECT_EQ(ones->MaxGap, 4);
  const TStatDraw* twos = FindKey(kds2, Key(2, 2));
  EXPECT_EQ(twos->Hits, 5);
  EXPECT_EQ(twos->MinGap, 3);
  EXPECT_EQ(twos->MaxGap, 3);

  // Every value of DIFM, DIFD, DIFO, DIFK measures gaps.
  draws = {Draw(5, {3, 6, 9, 12, 20, 21}), Draw(9, {1, 4, 7, 10, 18, 19})};
  for (const char* code : {"DIFM", "DIFD", "DIFO", "DIFK"}) {
    for (const auto& e : WindowValues(*Create(code), 0, 1, false)) {
      if (e.Hits == 0) continue;
      EXPECT_EQ(e.Hits, 2) << code;
      EXPECT_EQ(e.MinGap, 4) << code;
      EXPECT_EQ(e.MaxGap, 4) << code;
    }
  }
}

TEST_F(DiffStats, RunsAreNotValuesOfACombination) {
  for (const char* code : {"KDS2", "KDS3", "KDS4"}) {
    auto stat = Create(code);
    TStatDrawArray v;
    stat->CalcCombination({1, 2, 4, 7, 11, 16}, v);
    EXPECT_TRUE(v.empty()) << code;
    EXPECT_FALSE(IsFullSetComputable(stat->Class())) << code;
  }
}

TEST_F(DiffStats, SingleValueTestsReadKey0Only) {
  TStatDrawArray selected(1);
  selected[0].Key = Key(8, 5, 7, 1);
  struct Case {
    const char* code;
    TComb comb;
    bool expected;
  } cases[] = {
      {"DIFM", {3, 6, 9, 12, 20, 21}, true},   {"DIFM", {3, 6, 9, 12, 19, 21}, false},
      {"DIFA", {1, 9, 10, 11, 12, 13}, true},  {"DIFD", {2, 3, 4, 5, 6, 10}, true},
      {"DIFK", {1, 2, 3, 4, 5, 6}, false},
  };
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    stat->LoadDraw(-1, 0, false);
    EXPECT_EQ(stat->Matches(c.comb, selected, 0, false, false), c.expected) << c.code;
    stat->PrepareValues(selected);
    EXPECT_EQ(stat->Matches(c.comb, selected, 0, false, false), c.expected) << c.code << " prepared";
  }
}

// Every method, prepared or not, against the values of the combination
// taken as a draw in its own order.
// A combination's values go straight into an empty list; they must be what
// merging them one by one gives.
TEST_F(DiffStats, ValuesOfACombinationAsMerged) {
  const TComb combs[] = {{1, 2, 3, 4, 5, 6},   {3, 8, 9, 21, 44, 45}, {45, 1, 20, 30, 2, 10},
                          {3, 6, 9, 12, 20, 21}, {10, 5, 10, 5, 10, 5}, {0, 0, 7, 200, 46, 9}};
  TStatDraw sentinel;
  sentinel.Key = Key(0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF);
  for (const char* code : {"DIFA", "DIFM", "DIFD", "DIFO", "DIFK"}) {
    auto stat = Create(code);
    for (const TComb& c : combs) {
      TStatDrawArray direct;
      stat->CalcCombination(c, direct);
      TStatDrawArray merged = {sentinel};
      stat->CalcCombination(c, merged);
      merged.erase(merged.begin());
      EXPECT_EQ(direct, merged) << code << " " << CombToText(c);
      int hits = 0;
      for (const auto& e : direct) hits += e.Hits;
      EXPECT_GE(hits, 1) << code;
    }
  }
}

}  // namespace
}  // namespace vexa
