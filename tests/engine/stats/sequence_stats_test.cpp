#include "stats/sequence_stats.h"

#include <gtest/gtest.h>

#include <vector>

#include "stats_fixture.h"

namespace vexa {
namespace {

using test::Draw;
using test::FindValue;
using test::Select;
using test::WindowValues;

std::vector<int32_t> KeysOf(const TStatDrawArray& values) {
  std::vector<int32_t> keys;
  for (const auto& v : values) keys.push_back(Key32(v.Key));
  return keys;
}

// Keys of the values that occurred, in list order.
std::vector<int32_t> HitKeys(const TStatDrawArray& values) {
  std::vector<int32_t> keys;
  for (const auto& v : values)
    if (v.Hits > 0) keys.push_back(Key32(v.Key));
  return keys;
}

class SequenceStats : public ::testing::Test, public test::TStatsFixture {};

TEST_F(SequenceStats, DescriptorsAndRegistration) {
  struct TCase {
    const char* Code;
    const char* Caption;
    const char* Flags;
  };
  const TCase cases[] = {
      {"SEQL", "Длина последовательности в тираже", "SN"},
      {"SEQS", "Количество последовательностей в тираже", "SNG"},
      {"LENS", "Макс. длина последовательности в тираже", "SNG"},
      {"RPV2", "Повторяющиеся числа в 2-х тиражах подряд", "D"},
      {"RPV3", "Повторяющиеся числа в 3-х тиражах подряд", "D"},
      {"PRL2", "Повторяющиеся числа не более чем в 2-х тиражах", "D"},
      {"PRV2O1", "Повторяющиеся числа в 2-х тиражах через 1 тираж(а)", "D"},
      {"PRV2O2", "Повторяющиеся числа в 2-х тиражах через 2 тираж(а)", "D"},
      {"PRV2O3", "Повторяющиеся числа в 2-х тиражах через 3 тираж(а)", "D"},
      {"PRV+1", "Данные предыдущего тиража + 1", "D"},
      {"PRV-1", "Данные предыдущего тиража - 1", "D"},
      {"PRV+2", "Данные предыдущего тиража + 2", "D"},
      {"PRV-2", "Данные предыдущего тиража - 2", "D"},
      {"RPC2", "Количество повторов в 2-х тиражах подряд", "D"},
      {"RPC3", "Количество повторов в 3-х тиражах подряд", "D"},
      {"PRB2", "Количество повторов не более чем в 2-х тиражах", "D"},
      {"RPO1", "Количество повторов в 2-х тиражах через 1 тираж(а)", "D"},
      {"PRC2O2", "Количество повторов в 2-х тиражах через 2 тираж(а)", "D"},
      {"PRC2O3", "Количество повторов в 2-х тиражах через 3 тираж(а)", "D"},
      {"PRC+1", "Количество совпадений \"значений + 1\"", "D"},
      {"PRC-1", "Количество совпадений \"значений - 1\"", "D"},
      {"PRC+2", "Количество совпадений \"значений + 2\"", "D"},
      {"PRC-2", "Количество совпадений \"значений - 2\"", "D"},
  };
  const int first = list.IndexOfCode("SEQL");
  ASSERT_GE(first, 0);
  for (int k = 0; k < static_cast<int>(std::size(cases)); ++k) {
    const TCase& c = cases[k];
    const TStatMethod& m = list.Items(first + k);  // registration order, one entry each
    EXPECT_EQ(m.Code(), c.Code);
    EXPECT_EQ(m.DefaultName(), c.Caption) << c.Code;
    EXPECT_EQ(KindMarks(StatFlags(*m.StatClass)), c.Flags) << c.Code;
    EXPECT_EQ(m.StatClass->Group, k < 3 ? 6 : 7) << c.Code;
    EXPECT_TRUE(m.StatClass->AcceptsValueList) << c.Code;
    EXPECT_FALSE(m.StatClass->HasParam) << c.Code;
    EXPECT_EQ(HelpTopicFor(*m.StatClass, m.Param), c.Code);
    EXPECT_EQ(list.IsFullSetComputable(first + k), k < 3) << c.Code;
  }
  EXPECT_EQ(list.ListCaption(list.IndexOfCode("LENS"), true),
            "{ seq } Макс. длина последовательности в тираже [ SNG ]");
  EXPECT_EQ(list.ListCaption(list.IndexOfCode("PRC+1"), true),
            "{ rep } Количество совпадений \"значений + 1\" [ D ]");
}

// ---- Runs ----------------------------------------------------------------------------------

struct TRunCase {
  TComb Nums;
  std::vector<int32_t> Lengths;  // SEQL, in reading order
  int Seqs, Lens;                // the statistic
  int GraphSeqs, GraphLens;      // the graph: a step down counts too
};

const TRunCase RunCases[] = {
    {{1, 2, 3, 10, 20, 21}, {3, 1, 2}, 2, 3, 2, 3},
    {{5, 10, 15, 20, 25, 30}, {1, 1, 1, 1, 1, 1}, 0, 1, 0, 1},
    {{12, 11, 30, 31, 40, 44}, {1, 1, 2, 1, 1}, 1, 2, 2, 2},
    {{1, 2, 3, 4, 5, 6}, {6}, 1, 6, 1, 6},
    {{6, 5, 4, 3, 2, 1}, {1, 1, 1, 1, 1, 1}, 0, 1, 1, 6},
    {{1, 2, 4, 5, 7, 8}, {2, 2, 2}, 3, 2, 3, 2},
    {{40, 41, 43, 44, 45, 1}, {2, 3, 1}, 2, 3, 2, 3},  // no wrap from 45 to 1
    {{3, 4, 3, 4, 9, 8}, {2, 2, 1, 1}, 2, 2, 2, 4},    // 4 3 and 9 8 are steps of the graph only
};

TEST_F(SequenceStats, RunsOfSixNumbers) {
  auto seql = Create("SEQL");
  auto seqs = Create("SEQS");
  auto lens = Create("LENS");
  for (const TRunCase& c : RunCases) {
    SCOPED_TRACE(CombToText(c.Nums));
    const TRuns r = RunsOf(c.Nums);
    EXPECT_EQ(std::vector<int32_t>(r.Lengths, r.Lengths + r.Count), c.Lengths);
    EXPECT_EQ(r.Long, c.Seqs);
    EXPECT_EQ(r.Max, c.Lens);
    EXPECT_EQ(RunsOf(c.Nums, true).Long, c.GraphSeqs);

    // A length that occurs twice in one draw counts twice.
    TStatDrawArray own;
    seql->CalcCombination(c.Nums, own);
    int total = 0;
    for (const auto& v : own) total += v.Hits;
    EXPECT_EQ(total, static_cast<int>(c.Lengths.size()));
    for (int32_t len : c.Lengths) ASSERT_NE(FindValue(own, len), nullptr) << len;

    own.clear();
    seqs->CalcCombination(c.Nums, own);
    EXPECT_EQ(KeysOf(own), std::vector<int32_t>{c.Seqs});
    own.clear();
    lens->CalcCombination(c.Nums, own);
    EXPECT_EQ(KeysOf(own), std::vector<int32_t>{c.Lens});
    EXPECT_EQ(seqs->GraphValue(c.Nums, 0, 0, false), c.GraphSeqs);
    EXPECT_EQ(lens->GraphValue(c.Nums, 0, 0, false), c.GraphLens);
  }
}

TEST_F(SequenceStats, WindowPreListsAndFollowsDrawOrder) {
  draws = {Draw(10, {12, 11, 30, 31, 40, 44}), Draw(11, {5, 10, 15, 20, 25, 30})};
  auto seql = Create("SEQL");
  auto seqs = Create("SEQS");
  auto lens = Create("LENS");

  const TStatDrawArray l = WindowValues(*seql, 0, 1, false);
  EXPECT_EQ(KeysOf(l), (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(FindValue(l, 1)->Hits, 4 + 6);
  EXPECT_EQ(FindValue(l, 1)->Draw, 11);
  EXPECT_EQ(FindValue(l, 1)->MaxGap, 1);
  EXPECT_EQ(FindValue(l, 2)->Hits, 1);
  EXPECT_EQ(FindValue(l, 2)->Age, 2);
  EXPECT_EQ(FindValue(l, 6)->Hits + FindValue(l, 6)->Age, 0);

  // Draw order: only 30 31 is a step; sorted, 11 12 is one too.
  const TStatDrawArray s = WindowValues(*seqs, 0, 0, false);
  EXPECT_EQ(KeysOf(s), (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(HitKeys(s), std::vector<int32_t>{1});
  EXPECT_EQ(HitKeys(WindowValues(*seqs, 0, 0, true)), std::vector<int32_t>{2});
  EXPECT_EQ(seqs->GraphValueOfDraw(0, 0, false), 2);
  EXPECT_EQ(seqs->GraphValueOfDraw(0, 0, true), 2);
  EXPECT_EQ(HitKeys(WindowValues(*lens, 1, 1, false)), std::vector<int32_t>{1});
  EXPECT_EQ(lens->ValueToText(*FindValue(l, 3)), "3");
  EXPECT_EQ(lens->TextToValue("3"), 3);
}

TEST_F(SequenceStats, Matches) {
  struct TCase {
    const char* Code;
    TComb Comb;
    std::initializer_list<int32_t> Selected;
    bool Expected;
  };
  const TCase cases[] = {
      {"SEQL", {1, 2, 3, 10, 20, 21}, {2}, true},
      {"SEQL", {1, 2, 3, 10, 20, 21}, {4, 5, 6}, false},
      {"SEQL", {5, 10, 15, 20, 25, 30}, {1}, true},
      {"SEQS", {1, 2, 3, 10, 20, 21}, {2}, true},
      {"SEQS", {1, 2, 3, 10, 20, 21}, {0, 1, 3}, false},
      {"SEQS", {5, 10, 15, 20, 25, 30}, {0}, true},
      {"LENS", {5, 10, 15, 20, 25, 30}, {1}, true},
      {"LENS", {1, 2, 3, 10, 20, 21}, {2}, false},
      // The filter reads the combination as stored: 12 11 is no step.
      {"SEQS", {12, 11, 30, 31, 40, 44}, {1}, true},
      {"LENS", {6, 5, 4, 3, 2, 1}, {6}, false},
  };
  for (const TCase& c : cases) {
    auto stat = Create(c.Code);
    stat->LoadDraw(-1, 0, false);
    const TStatDrawArray values = Select(c.Selected);
    EXPECT_EQ(stat->Matches(c.Comb, values, 0, false, false), c.Expected) << c.Code << " " << CombToText(c.Comb);
    stat->PrepareValues(values);
    EXPECT_EQ(stat->Matches(c.Comb, values, 0, false, false), c.Expected) << c.Code << " prepared";
  }
  // A pair key or a large value is never a run figure.
  auto seql = Create("SEQL");
  TStatDrawArray odd(2);
  SetKey32(odd[0].Key, 3, 1);
  SetKey32(odd[1].Key, 3 + 65536);
  EXPECT_FALSE(seql->Matches({1, 2, 3, 10, 20, 21}, odd, 0, false, false));
  seql->PrepareValues(odd);
  EXPECT_FALSE(seql->Matches({1, 2, 3, 10, 20, 21}, odd, 0, false, false));
}

// ---- Repeats with a shift and a gap --------------------------------------------------------------

// Draw 4 is 1 2 10 20 44 45. Draw 3 = 7 17 42 43 44 45 shares 2 numbers with
// it; shifted by +1 (45 -> 1) 3, by -1 1, by +2 (44 -> 1, 45 -> 2) 4, by -2 none.
// Draws 2, 1, 0 share 5, 3 and 6 numbers.
TDrawsArray ShiftGapDraws() {
  return {Draw(100, {45, 44, 20, 10, 2, 1}), Draw(101, {1, 2, 10, 30, 31, 32}), Draw(102, {1, 2, 10, 20, 44, 3}),
          Draw(103, {7, 17, 42, 43, 44, 45}), Draw(104, {1, 2, 10, 20, 44, 45})};
}

TEST_F(SequenceStats, RepeatCountsByShiftAndGap) {
  draws = ShiftGapDraws();
  struct TCase {
    const char* Code;
    int32_t Count;
  };
  const TCase cases[] = {{"RPC2", 2},  {"RPO1", 5},  {"PRC2O2", 3}, {"PRC2O3", 6},
                         {"PRC+1", 3}, {"PRC-1", 1}, {"PRC+2", 4},  {"PRC-2", 0}};
  const TComb next{1, 2, 10, 20, 44, 45};  // draw 4 as a combination after draw 3
  for (const TCase& c : cases) {
    auto stat = Create(c.Code);
    const TStatDrawArray v = WindowValues(*stat, 4, 4, false);
    EXPECT_EQ(HitKeys(v), std::vector<int32_t>{c.Count}) << c.Code;
    stat->LoadDraw(-1, 3, false);
    for (int32_t k = 0; k <= 6; ++k) {
      const TStatDrawArray selected = Select({k});
      EXPECT_EQ(stat->Matches(next, selected, 3, false, false), k == c.Count) << c.Code << " " << k;
      auto prepared = Create(c.Code);
      prepared->LoadDraw(-1, 3, false);
      prepared->PrepareValues(selected);
      EXPECT_EQ(prepared->Matches(next, selected, 3, false, false), k == c.Count) << c.Code << " prepared " << k;
    }
  }
}

TEST_F(SequenceStats, RepeatValuesByShiftAndGap) {
  draws = ShiftGapDraws();
  struct TCase {
    const char* Code;
    std::vector<int32_t> Listed;  // the reference draw 4, shifted
    std::vector<int32_t> Hit;     // in the order of the earlier draw
  };
  const TCase cases[] = {
      {"RPV2", {1, 2, 10, 20, 44, 45}, {44, 45}},
      {"PRV2O1", {1, 2, 10, 20, 44, 45}, {1, 2, 10, 20, 44}},
      {"PRV2O2", {1, 2, 10, 20, 44, 45}, {1, 2, 10}},
      {"PRV2O3", {1, 2, 10, 20, 44, 45}, {45, 44, 20, 10, 2, 1}},
      // Draw 3 + 1 = 8 18 43 44 45 1; of these 45 and 1 are in draw 4 and in draw 4 + 1.
      {"PRV+1", {2, 3, 11, 21, 45, 1}, {45, 1}},
      {"PRV-1", {45, 1, 9, 19, 43, 44}, {44}},
      {"PRV+2", {3, 4, 12, 22, 1, 2}, {1, 2}},
      {"PRV-2", {44, 45, 8, 18, 42, 43}, {}},
  };
  for (const TCase& c : cases) {
    auto stat = Create(c.Code);
    TStatDrawArray listed;
    stat->ListAllValues(4, listed);
    EXPECT_EQ(KeysOf(listed), c.Listed) << c.Code;
    TStatDrawArray hit;
    TStatWork work{};
    TLastValueArray seen;
    stat->CalcDraw(4, 4, false, hit, work, seen);
    EXPECT_EQ(KeysOf(hit), c.Hit) << c.Code;
  }
}

TEST_F(SequenceStats, RepeatValuesAreKeyedOnTheReferenceDraw) {
  draws = {Draw(101, {5, 6, 7, 8, 9, 10}), Draw(102, {5, 6, 20, 21, 22, 23}), Draw(103, {1, 2, 3, 4, 5, 30}),
           Draw(104, {5, 11, 12, 13, 14, 15})};
  auto rpv2 = Create("RPV2");
  const TStatDrawArray v = WindowValues(*rpv2, 0, 3, true);
  // 6 repeated into draw 102 but is not in the reference draw: no row.
  EXPECT_EQ(KeysOf(v), (std::vector<int32_t>{5, 11, 12, 13, 14, 15}));
  const TStatDraw* five = FindValue(v, 5);
  EXPECT_EQ(five->Hits, 3);
  EXPECT_EQ(five->Draw, 104);
  EXPECT_EQ(five->Age, 1);
  EXPECT_EQ(five->MinGap, 1);
  EXPECT_EQ(five->MaxGap, 1);
  EXPECT_EQ(FindValue(v, 11)->Hits, 0);
  EXPECT_EQ(rpv2->FindNextOccurrence(*five, 0, 3, false), 102);
  EXPECT_EQ(rpv2->FindNextOccurrence(*FindValue(v, 11), 0, 3, false), -1);

  // Matches reads only the numbers: some number of the combination is selected.
  rpv2->LoadDraw(-1, 3, false);
  EXPECT_TRUE(rpv2->Matches({5, 16, 17, 18, 19, 40}, Select({5, 11}), 3, false, false));
  EXPECT_FALSE(rpv2->Matches({6, 16, 17, 18, 19, 40}, Select({5, 11}), 3, false, false));

  // RPC2: 0 is not pre-listed and gets its row when the first draw, which
  // has no earlier draw, gives it.
  auto rpc2 = Create("RPC2");
  const TStatDrawArray c = WindowValues(*rpc2, 0, 3, false);
  EXPECT_EQ(KeysOf(c), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 0}));
  EXPECT_EQ(FindValue(c, 0)->Hits, 1);
  EXPECT_EQ(FindValue(c, 0)->Age, 4);
  EXPECT_EQ(FindValue(c, 1)->Hits, 2);
  EXPECT_EQ(FindValue(c, 2)->Draw, 102);
  EXPECT_EQ(KeysOf(WindowValues(*rpc2, 1, 3, false)), (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
}

TEST_F(SequenceStats, FirstDrawRepeatsNothingEvenShifted) {
  // Six zeros before the archive must not turn into 1s (+1) or 44s (-1).
  draws = {Draw(1, {1, 2, 3, 4, 44, 45})};
  for (const char* code : {"RPV2", "PRV+1", "PRV-1", "PRV+2", "PRV-2", "PRV2O3", "RPV3", "PRL2"}) {
    auto stat = Create(code);
    EXPECT_TRUE(HitKeys(WindowValues(*stat, 0, 0, false)).empty()) << code;
  }
  for (const char* code : {"RPC2", "PRC+1", "PRC-1", "PRC+2", "PRC-2", "RPO1", "RPC3", "PRB2"}) {
    auto stat = Create(code);
    EXPECT_EQ(HitKeys(WindowValues(*stat, 0, 0, false)), std::vector<int32_t>{0}) << code;
  }
  // An empty archive lists nothing and counts a combination as repeating nothing.
  draws.clear();
  auto prv = Create("PRV+1");
  EXPECT_TRUE(WindowValues(*prv, 0, 0, false).empty());
  auto prc = Create("PRC+1");
  prc->LoadDraw(-1, 0, false);
  EXPECT_TRUE(prc->Matches({1, 2, 3, 4, 5, 6}, Select({0}), 0, false, false));
}

// ---- Three draws in a row ------------------------------------------------------------------------

TEST_F(SequenceStats, ThreeDrawMethods) {
  draws = {Draw(101, {1, 2, 3, 4, 5, 6}), Draw(102, {1, 2, 3, 10, 11, 12}), Draw(103, {1, 2, 10, 20, 21, 22}),
           Draw(104, {1, 10, 20, 30, 31, 32})};
  struct THits {
    int32_t Value, Hits;
  };
  struct TCase {
    const char* Code;
    std::vector<THits> Expected;  // every value that occurred
  };
  const TCase cases[] = {
      // 103: 1 was in 102 and 101; 104: 1 and 10 were in 103 and 102.
      {"RPV3", {{1, 2}, {10, 1}}},
      // 102: 1 in 101 and (no draw 100) nowhere before; 103: 10; 104: 20.
      {"PRL2", {{1, 1}, {10, 1}, {20, 1}}},
      // Counts 0, 0, 2, 2.
      {"RPC3", {{0, 2}, {2, 2}}},
      // Counts 0, 3, 1, 1.
      {"PRB2", {{0, 1}, {1, 2}, {3, 1}}},
  };
  for (const TCase& c : cases) {
    auto stat = Create(c.Code);
    const TStatDrawArray v = WindowValues(*stat, 0, 3, false);
    size_t hit = 0;
    for (const auto& e : v) hit += e.Hits > 0 ? 1 : 0;
    EXPECT_EQ(hit, c.Expected.size()) << c.Code;
    for (const THits& h : c.Expected) {
      const TStatDraw* e = FindValue(v, h.Value);
      ASSERT_NE(e, nullptr) << c.Code << " " << h.Value;
      EXPECT_EQ(e->Hits, h.Hits) << c.Code << " " << h.Value;
    }
  }
  EXPECT_EQ(KeysOf(WindowValues(*Create("RPV3"), 0, 3, false)), (std::vector<int32_t>{1, 10, 20, 30, 31, 32}));

  // The combination as draw 105: RPC3 counts it in 104 and 103 (1 10 20),
  // PRB2 in 104 but not 103 (30 31 32).
  struct TMatch {
    const char* Code;
    TComb Comb;
    int32_t Count;
  };
  const TMatch matches[] = {
      {"RPC3", {1, 10, 20, 40, 41, 42}, 3}, {"RPC3", {1, 2, 3, 4, 5, 6}, 1},
      {"PRB2", {30, 31, 40, 41, 42, 43}, 2}, {"PRB2", {1, 10, 20, 40, 41, 42}, 0},
  };
  for (const TMatch& m : matches) {
    auto stat = Create(m.Code);
    stat->LoadDraw(-1, 3, true);
    EXPECT_TRUE(stat->Matches(m.Comb, Select({m.Count}), 3, true, false)) << m.Code;
    EXPECT_FALSE(stat->Matches(m.Comb, Select({m.Count + 1, m.Count + 2}), 3, true, false)) << m.Code;
  }
}

}  // namespace
}  // namespace vexa
