#include "stats/comb_value_stats.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "stat_contract.h"
#include "stats_fixture.h"

namespace vexa {
namespace {

using test::Draw;
using test::WindowValues;

std::vector<std::string> Texts(const TCustomStat& stat, const TStatDrawArray& values) {
  std::vector<std::string> texts;
  for (const auto& v : values) texts.push_back(stat.ValueToText(v));
  return texts;
}

TStatDrawArray SelectTuples(std::initializer_list<TStatKey4> keys) {
  TStatDrawArray a;
  for (const TStatKey4& k : keys) {
    TStatDraw d;
    d.Key = k;
    a.push_back(d);
  }
  return a;
}

// Calls f for every ascending combination, lexicographically.
template <typename F>
void ForAllCombs(F f) {
  TComb c{};
  for (c[0] = 1; c[0] <= 40; ++c[0])
    for (c[1] = static_cast<uint8_t>(c[0] + 1); c[1] <= 41; ++c[1])
      for (c[2] = static_cast<uint8_t>(c[1] + 1); c[2] <= 42; ++c[2])
        for (c[3] = static_cast<uint8_t>(c[2] + 1); c[3] <= 43; ++c[3])
          for (c[4] = static_cast<uint8_t>(c[3] + 1); c[4] <= 44; ++c[4])
            for (c[5] = static_cast<uint8_t>(c[4] + 1); c[5] <= 45; ++c[5]) f(c);
}

class CombValueStats : public ::testing::Test, public test::TStatsFixture {};

TEST_F(CombValueStats, DescriptorsAndRegistration) {
  struct TCase {
    const char* Code;
    const char* Caption;
    const char* HelpTopic;
  };
  const TCase cases[] = {
      {"KNM2", "Сочетания из 2 чисел по всем числам тиража", "KNM2"},
      {"KNM3", "Сочетания из 3 чисел по всем числам тиража", "KNM3"},
      {"KNM4", "Сочетания из 4 чисел по всем числам тиража", "KNM4"},
      {"KNS2", "Сочетания из 2 соседних чисел тиража", "KNS2"},
      {"KNS3", "Сочетания из 3 соседних чисел тиража", "KNS3"},
      {"KNS4", "Сочетания из 4 соседних чисел тиража", "KNS4"},
      {"KNP21", "Сочетания из 2-х чисел тиража начиная с 1 позиции", "KNP2"},
      {"KNP22", "Сочетания из 2-х чисел тиража начиная с 2 позиции", "KNP2"},
      {"KNP23", "Сочетания из 2-х чисел тиража начиная с 3 позиции", "KNP2"},
      {"KNP24", "Сочетания из 2-х чисел тиража начиная с 4 позиции", "KNP2"},
      {"KNP25", "Сочетания из 2-х чисел тиража начиная с 5 позиции", "KNP2"},
      {"KNP31", "Сочетания из 3-х чисел тиража начиная с 1 позиции", "KNP3"},
      {"KNP32", "Сочетания из 3-х чисел тиража начиная с 2 позиции", "KNP3"},
      {"KNP33", "Сочетания из 3-х чисел тиража начиная с 3 позиции", "KNP3"},
      {"KNP34", "Сочетания из 3-х чисел тиража начиная с 4 позиции", "KNP3"},
      {"KNP41", "Сочетания из 4-х чисел тиража начиная с 1 позиции", "KNP4"},
      {"KNP42", "Сочетания из 4-х чисел тиража начиная с 2 позиции", "KNP4"},
      {"KNP43", "Сочетания из 4-х чисел тиража начиная с 3 позиции", "KNP4"},
  };
  const int first = list.IndexOfCode("KNM2");
  ASSERT_GE(first, 0);
  EXPECT_EQ(list.Items(first - 1).Code(), "PRC-2");
  for (int k = 0; k < static_cast<int>(std::size(cases)); ++k) {
    const TCase& c = cases[k];
    const TStatMethod& m = list.Items(first + k);
    EXPECT_EQ(m.Code(), c.Code);
    EXPECT_EQ(m.DefaultName(), c.Caption) << c.Code;
    EXPECT_EQ(HelpTopicFor(*m.StatClass, m.Param), c.HelpTopic) << c.Code;
    EXPECT_EQ(KindMarks(StatFlags(*m.StatClass)), "S") << c.Code;
    EXPECT_EQ(m.StatClass->Group, 0) << c.Code;
    EXPECT_FALSE(m.StatClass->AcceptsValueList) << c.Code;
    EXPECT_FALSE(list.IsFullSetComputable(first + k)) << c.Code;
    EXPECT_EQ(list.CreateStat(first + k)->ParseValue("5"), 0) << c.Code;
  }
  EXPECT_EQ(list.Items(first + 6).Param, 1);
  EXPECT_EQ(list.Items(first + 17).Param, 3);
  EXPECT_EQ(list.ListCaption(first + 8, true), "{ num } Сочетания из 2-х чисел тиража начиная с 3 позиции [ S ]");

  // The three sorted classes keep their places in the table and register nothing.
  for (const char* code : {"KNO2", "KNO3", "KNO4"}) {
    EXPECT_EQ(list.IndexOfCode(code), -1) << code;
    bool inTable = false;
    for (const auto& e : StatClassTable()) {
      if (std::string(e.Code) != code) continue;
      inTable = true;
      ASSERT_NE(e.Class, nullptr) << code;
      EXPECT_FALSE(e.Class->Available) << code;
      EXPECT_EQ(e.Class->Kind, 0u) << code;
    }
    EXPECT_TRUE(inTable) << code;
  }
}

TEST_F(CombValueStats, TuplesOfOneDraw) {
  draws = {Draw(1, {3, 9, 28, 41, 42, 45})};
  struct TCase {
    const char* Code;
    std::vector<std::string> Texts;  // in the order they are added
  };
  const TCase cases[] = {
      {"KNS2", {"3:9", "9:28", "28:41", "41:42", "42:45"}},
      {"KNS3", {"3:9:28", "9:28:41", "28:41:42", "41:42:45"}},
      {"KNS4", {"3:9:28:41", "9:28:41:42", "28:41:42:45"}},
      {"KNP21", {"3:9"}},
      {"KNP23", {"28:41"}},
      {"KNP25", {"42:45"}},
      {"KNP34", {"41:42:45"}},
      {"KNP41", {"3:9:28:41"}},
      {"KNP43", {"28:41:42:45"}},
  };
  for (const TCase& c : cases) {
    auto stat = Create(c.Code);
    const TStatDrawArray v = WindowValues(*stat, 0, 0, false);
    EXPECT_EQ(Texts(*stat, v), c.Texts) << c.Code;
    for (const auto& e : v) EXPECT_EQ(e.Hits, 1) << c.Code;
  }
  // How many tuples each kind cuts from one draw.
  const std::pair<const char*, size_t> counts[] = {{"KNM2", 15}, {"KNM3", 20}, {"KNM4", 15}, {"KNS2", 5},
                                                   {"KNS3", 4},  {"KNS4", 3},  {"KNP22", 1}};
  for (auto [code, n] : counts) EXPECT_EQ(WindowValues(*Create(code), 0, 0, false).size(), n) << code;
  const TStatDrawArray m4 = WindowValues(*Create("KNM4"), 0, 0, false);
  EXPECT_EQ(Create("KNM4")->ValueToText(m4.front()), "3:9:28:41");
  EXPECT_EQ(Create("KNM4")->ValueToText(m4.back()), "28:41:42:45");
}

TEST_F(CombValueStats, PairsOfOneToSix) {
  draws = {Draw(1, {1, 2, 3, 4, 5, 6})};
  auto knm2 = Create("KNM2");
  const TStatDrawArray v = WindowValues(*knm2, 0, 0, false);
  const std::vector<std::string> expected = {"1:2", "1:3", "1:4", "1:5", "1:6", "2:3", "2:4", "2:5",
                                             "2:6", "3:4", "3:5", "3:6", "4:5", "4:6", "5:6"};
  EXPECT_EQ(Texts(*knm2, v), expected);
  for (const auto& e : v) {
    EXPECT_EQ(e.Hits, 1);
    EXPECT_EQ(e.Key[2], 0);
    EXPECT_EQ(e.Key[3], 0);
  }
  // Nothing is pre-listed and a lone combination gives nothing.
  TStatDrawArray none;
  knm2->ListAllValues(0, none);
  knm2->CalcCombination({1, 2, 3, 4, 5, 6}, none);
  EXPECT_TRUE(none.empty());
}

TEST_F(CombValueStats, TuplesKeepPositionOrderAndTrackGaps) {
  draws = {Draw(100, {17, 5, 30, 31, 40, 44})};
  auto kns2 = Create("KNS2");
  EXPECT_EQ(Texts(*kns2, WindowValues(*kns2, 0, 0, false)).front(), "17:5");
  EXPECT_EQ(Texts(*kns2, WindowValues(*kns2, 0, 0, true)).front(), "5:17");

  // 41 42 next to each other in draws 100, 103 and 110 of a window ending with 110.
  draws.clear();
  for (int n = 100; n <= 110; ++n) {
    const bool pair = n == 100 || n == 103 || n == 110;
    draws.push_back(Draw(n, pair ? TComb{1, 2, 3, 4, 41, 42} : TComb{1, 2, 3, 4, 5, 6}));
  }
  const TStatDrawArray v = WindowValues(*kns2, 0, 10, false);
  const TStatDraw* e = nullptr;
  for (const auto& x : v)
    if (x.Key == TStatKey4{41, 42, 0, 0}) e = &x;
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Hits, 3);
  EXPECT_EQ(e->Draw, 110);
  EXPECT_EQ(e->Age, 1);
  EXPECT_EQ(e->MinGap, 3);
  EXPECT_EQ(e->MaxGap, 7);
  EXPECT_EQ(kns2->FindNextOccurrence(*e, 1, 10, false), 103);
}

TEST_F(CombValueStats, FilterOverAllCombinations) {
  // In an ascending combination 41 and 42 both present always stand side by
  // side: C(43, 4) of them; 41 and 43 side by side means 42 is absent: C(42, 4).
  struct TCase {
    const char* Code;
    std::initializer_list<TStatKey4> Selected;
    int Expected;
  };
  const TCase cases[] = {
      {"KNS2", {{41, 42, 0, 0}}, 123410},
      {"KNS2", {{41, 43, 0, 0}}, 111930},
      {"KNS2", {{41, 42, 0, 0}, {41, 43, 0, 0}}, 123410 + 111930},
      {"KNS2", {{42, 41, 0, 0}, {41, 42, 1, 0}, {41, 0, 0, 0}}, 0},  // reversed, longer, shorter
      {"KNP21", {{1, 2, 0, 0}}, 123410},                             // both present: they lead
      {"KNP25", {{1, 2, 0, 0}}, 0},
      {"KNM3", {{1, 2, 3, 0}}, 11480},         // C(42, 3)
      {"KNS3", {{1, 3, 5, 0}}, 9880},          // no 2 and no 4: C(40, 3)
      {"KNM4", {{7, 8, 9, 10}}, 820},          // C(41, 2)
      {"KNM4", {{10, 9, 8, 7}}, 0},
      {"KNP43", {{42, 43, 44, 45}}, 820},
  };
  for (const TCase& c : cases) {
    auto stat = Create(c.Code);
    stat->LoadDraw(-1, 0, false);
    const TStatDrawArray selected = SelectTuples(c.Selected);
    stat->PrepareValues(selected);
    int kept = 0;
    ForAllCombs([&](const TComb& comb) { kept += stat->Matches(comb, selected, 0, false, false) ? 1 : 0; });
    EXPECT_EQ(kept, c.Expected) << c.Code;
    // Deleting reads the same test: the caller removes what matches.
    EXPECT_EQ(stat->Matches({3, 9, 28, 41, 42, 45}, selected, 0, false, true),
              stat->Matches({3, 9, 28, 41, 42, 45}, selected, 0, false, false));
  }
}

// Combinations of the numbers 1..12 share many tuples, so selections hit.
TEST_F(CombValueStats, FilterContractOverDenseCombinations) {
  std::mt19937 rng(17);
  for (int d = 0; d < 40; ++d) draws.push_back(Draw(d + 1, test::RandomDistinctComb(rng, 12)));
  std::vector<TComb> sample;
  for (int k = 0; k < (test::QuickContract ? 200 : 1500); ++k) {
    TComb c = test::RandomDistinctComb(rng, 12);
    if (k % 3 != 0) SortComb(c);
    if (k % 50 == 0) c[0] = 46;  // a value no tuple of the draws has
    sample.push_back(c);
  }
  test::ExpectFilterContract(list, sample, 39, "numbers 1..12",
                             [](const TStatMethod& m) { return m.StatClass->Group == 0 && m.Code()[0] == 'K'; });
}

}  // namespace
}  // namespace vexa
