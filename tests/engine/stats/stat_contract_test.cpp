// Checks every registered method against the contract all of them share.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "acquire/demo_draws.h"
#include "stats_fixture.h"

namespace vexa {
namespace {

TComb RandomComb(std::mt19937& rng) {
  TByteArray taken;
  while (taken.size() < 6) AddUniqueNum(static_cast<int>(rng() % 45) + 1, taken);
  TComb c;
  std::copy(taken.begin(), taken.end(), c.begin());
  SortComb(c);
  return c;
}

class EveryMethod : public ::testing::Test, public test::TStatsFixture {
 protected:
  void SetUp() override {
    draws = GenerateDemoDraws(120, 11);
    list.RegisterAll();
  }
};

TEST_F(EveryMethod, ValuesAreUniqueAndWellFormed) {
  for (int i = 0; i < list.Count(); ++i) {
    auto stat = list.CreateStat(i);
    const std::string code = list.Items(i).Code();
    for (bool sorted : {false, true}) {
      const TStatDrawArray values = test::WindowValues(*stat, 20, 119, sorted);
      std::set<uint64_t> keys;
      for (const auto& v : values) {
        EXPECT_TRUE(keys.insert(PackKey(v.Key)).second) << code << " lists a value twice";
        EXPECT_GE(v.Hits, 0) << code;
        EXPECT_LE(v.Age, 100) << code;
        EXPECT_LE(v.MinGap, v.MaxGap) << code;
        EXPECT_FALSE(stat->ValueToText(v).empty()) << code;
        if (stat->Class().AcceptsValueList && Key32(v.Key, 2) == 0) {
          EXPECT_EQ(stat->TextToValue(stat->ValueToText(v)), Key32(v.Key)) << code << " " << stat->ValueToText(v);
        }
      }
    }
  }
}

TEST_F(EveryMethod, MatchesAgreesWithCalcCombination) {
  std::mt19937 rng(5);
  std::vector<TComb> sample;
  for (int k = 0; k < 300; ++k) sample.push_back(RandomComb(rng));
  for (int i = 0; i < list.Count(); ++i) {
    if (!list.IsFullSetComputable(i)) continue;
    auto stat = list.CreateStat(i);
    const std::string code = list.Items(i).Code();
    stat->LoadDraw(-1, 119, false);
    // Every value some combination of the sample has.
    std::set<uint64_t> seen;
    for (const TComb& c : sample) {
      TStatDrawArray own;
      stat->CalcCombination(c, own);
      for (const auto& v : own) seen.insert(PackKey(v.Key));
    }
    for (uint64_t key : seen) {
      TStatDrawArray selected(1);
      selected[0].Key = UnpackKey(key);
      for (const TComb& c : sample) {
        TStatDrawArray own;
        stat->CalcCombination(c, own);
        bool has = false;
        for (const auto& v : own) has = has || PackKey(v.Key) == key;
        ASSERT_EQ(stat->Matches(c, selected, 119, false, false), has) << code << " " << CombToText(c);
      }
    }
  }
}

TEST_F(EveryMethod, GraphOfADrawIsTheGraphOfItsNumbers) {
  for (int i = 0; i < list.Count(); ++i) {
    if (!list.HasGraph(i)) continue;
    auto stat = list.CreateStat(i);
    for (int d : {0, 50, 119}) {
      for (bool sorted : {false, true}) {
        TDraw draw = draws[static_cast<size_t>(d)];
        if (sorted) SortDrawNums(draw);
        EXPECT_EQ(stat->GraphValueOfDraw(d, 119, sorted), stat->GraphValue(draw.Nums, d, 119, sorted))
            << list.Items(i).Code();
      }
    }
  }
}

}  // namespace
}  // namespace vexa
