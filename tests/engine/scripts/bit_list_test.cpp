// The combinations list as bits over the full set, and filtering it.
#include "scripts/bit_list.h"

#include <gtest/gtest.h>

#include <random>

#include "acquire/demo_draws.h"
#include "combs/combs_list.h"
#include "combs/filter.h"
#include "stats/stat_list.h"
#include "support/scripted_ui.h"

namespace vexa {
namespace {

const TFullCombs& All() {
  static const TFullCombs all;
  return all;
}

TEST(BitList, PositionsFollowTheGenerationOrder) {
  const TFullCombs& all = All();
  EXPECT_EQ(all[0], (TComb{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(all[TFullCombs::Total - 1], (TComb{40, 41, 42, 43, 44, 45}));
  for (size_t p = 0; p < TFullCombs::Total; ++p)
    ASSERT_EQ(TFullCombs::PositionOf(all[p]), static_cast<int64_t>(p)) << CombToText(all[p]);
  for (const TComb& odd : {TComb{2, 1, 3, 4, 5, 6}, TComb{1, 1, 3, 4, 5, 6}, TComb{0, 1, 2, 3, 4, 5},
                           TComb{1, 2, 3, 4, 5, 46}, TComb{41, 42, 43, 44, 45, 45}})
    EXPECT_EQ(TFullCombs::PositionOf(odd), -1) << CombToText(odd);
}

TEST(BitList, CountSelectAndReset) {
  TBitList list;
  list.SetAll();
  EXPECT_EQ(list.Count(), AllCombsCount);
  list.Reset(0);
  list.Reset(0);
  list.Reset(TFullCombs::Total - 1);
  EXPECT_EQ(list.Count(), AllCombsCount - 2);
  EXPECT_EQ(list.Select(0), 1u);
  EXPECT_EQ(list.Select(list.Count() - 1), TFullCombs::Total - 2);
  list.Recount();
  EXPECT_EQ(list.Count(), AllCombsCount - 2);
  for (int i = 0; i < 200; ++i) list.Reset(static_cast<size_t>(i) * 40000);
  int seen = 0;
  size_t last = 0;
  list.ForEach([&](size_t p) {
    EXPECT_TRUE(seen == 0 || p > last);
    last = p;
    return ++seen < 1000;
  });
  EXPECT_EQ(seen, 1000);
  EXPECT_EQ(PopCount(~uint64_t{0}), 64);
  EXPECT_EQ(PopCount(0x8000000000000001ull), 2);
}

// Filtering the bits gives what ApplyFilter gives the list, first with no
// answers known, then with some known from a different list.
TEST(BitList, NarrowingAgreesWithTheFilter) {
  const TFullCombs& all = All();
  TDrawsArray draws = GenerateDemoDraws(100, 3);
  TStatList stats(draws);
  stats.RegisterAll();
  test::TScriptedUi ui;
  TCombsList combs(ui);
  std::mt19937 random(4);
  // A list of every third combination, and one of every fifth.
  TBitList thirdsAll;
  TBitList fifthsAll;
  thirdsAll.Clear();
  fifthsAll.Clear();
  std::vector<TComb> listed;
  for (size_t p = 0; p < TFullCombs::Total; ++p) {
    if (p % 3 == 0) {
      thirdsAll.MutableWords()[p / 64] |= uint64_t{1} << (p % 64);
      listed.push_back(all[p]);
    }
    if (p % 5 == 0) fifthsAll.MutableWords()[p / 64] |= uint64_t{1} << (p % 64);
  }

  for (const char* code : {"NUMS", "SUMS", "EVEN", "POS2", "SUM1", "RPV2"}) {
    const int method = stats.IndexOfCode(code);
    ASSERT_GE(method, 0) << code;
    auto stat = stats.CreateStat(method);
    TStatDrawArray values(3);
    for (TStatDraw& v : values) SetKey32(v.Key, static_cast<int32_t>(random() % 40) + 1);
    if (std::string(code) == "SUM1") SetKey32(values[0].Key, 1);
    for (bool del : {false, true}) {
      TBitList thirds = thirdsAll;
      TBitList fifths = fifthsAll;
      combs.SetCombs(listed);
      combs.SaveUndo(false);
      ApplyFilter(combs, *stat, values, del, code, "", 99, false, ui);

      stat->LoadDraw(-1, 99, false);
      stat->PrepareValues(values);
      const TBitFilter filter{stat.get(), &values, 99, false, del, 0};
      TMatchAnswers answers{std::vector<uint64_t>(TFullCombs::Words, 0), std::vector<uint64_t>(TFullCombs::Words, 0)};
      NarrowBits(all, fifths.MutableWords(), answers, filter);  // learns some answers first
      const int64_t count = NarrowBits(all, thirds.MutableWords(), answers, filter);
      ASSERT_EQ(count, combs.Count()) << code << " del " << del;
      size_t k = 0;
      thirds.ForEach([&](size_t p) {
        EXPECT_EQ(all[p], combs[static_cast<int>(k)]) << code;
        ++k;
        return k < static_cast<size_t>(combs.Count());
      });
    }
  }
}

TEST(BitList, CacheKeysAndEviction) {
  TStatDrawArray a(2);
  SetKey32(a[0].Key, 5);
  SetKey32(a[1].Key, 7);
  TStatDrawArray b = {a[1], a[0], a[1]};
  EXPECT_EQ(TMatchCache::KeyOf(3, a, -1, false, true), TMatchCache::KeyOf(3, b, -1, false, true))
      << "the selection counts as a set";
  EXPECT_NE(TMatchCache::KeyOf(3, a, -1, false, true), TMatchCache::KeyOf(3, a, -1, false, false));
  EXPECT_NE(TMatchCache::KeyOf(3, a, -1, false, true), TMatchCache::KeyOf(3, a, 10, false, true));
  EXPECT_NE(TMatchCache::KeyOf(3, a, -1, false, true), TMatchCache::KeyOf(4, a, -1, false, true));

  TMatchCache cache(2);
  cache.Get("a").Known[0] = 1;
  cache.Get("b");
  EXPECT_EQ(cache.Get("a").Known[0], 1u) << "a use makes it the newest";
  cache.Get("c");
  EXPECT_EQ(cache.Size(), 2u);
  EXPECT_EQ(cache.Get("a").Known[0], 1u);
  EXPECT_EQ(cache.Get("b").Known[0], 0u) << "b was the oldest and came back empty";
}

}  // namespace
}  // namespace vexa
