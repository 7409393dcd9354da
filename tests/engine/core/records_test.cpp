#include "core/records.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace vexa {
namespace {

TStatDraw Entry(int16_t key, int32_t draw, int32_t age, int32_t prevDraw = 0, int32_t hits = 1) {
  TStatDraw e;
  e.Key = {key, 0, 0, 0};
  e.Draw = draw;
  e.Age = age;
  e.PrevDraw = prevDraw;
  e.Hits = hits;
  e.Expected = 77;
  return e;
}

TEST(Records, MergeStatDrawRecordsIntervalsOnlyAfterAPreviousDraw) {
  TStatDrawArray withPrev;
  MergeStatDraw(withPrev, Entry(3, 10, 5, 10), true);
  MergeStatDraw(withPrev, Entry(3, 14, 1), true);
  ASSERT_EQ(withPrev.size(), 1u);
  EXPECT_EQ(withPrev[0].Hits, 2);
  EXPECT_EQ(withPrev[0].PrevDraw, 14);
  EXPECT_EQ(withPrev[0].MinGap, 4);
  EXPECT_EQ(withPrev[0].MaxGap, 4);
  EXPECT_EQ(withPrev[0].Expected, 77);

  TStatDrawArray noPrev;
  MergeStatDraw(noPrev, Entry(3, 10, 5, 0), true);
  MergeStatDraw(noPrev, Entry(3, 14, 1), true);
  EXPECT_EQ(noPrev[0].MinGap, 0);
  EXPECT_EQ(noPrev[0].MaxGap, 0);
  EXPECT_EQ(noPrev[0].PrevDraw, 14);
}

TEST(Records, MergeStatDrawKeepsOrderAndYoungestOccurrence) {
  TStatDrawArray a;
  MergeStatDraw(a, Entry(9, 1, 0), true);      // not seen yet: Age 0
  MergeStatDraw(a, Entry(2, 100, 11, 100), true);
  MergeStatDraw(a, Entry(9, 103, 8), true);    // stored Age 0 is replaced
  MergeStatDraw(a, Entry(2, 103, 8), true);
  MergeStatDraw(a, Entry(2, 110, 0), true);    // Age 0 never replaces a real age
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0].Key[0], 9);
  EXPECT_EQ(a[1].Key[0], 2);
  EXPECT_EQ(a[0].Age, 8);
  EXPECT_EQ(a[0].Draw, 103);
  EXPECT_EQ(a[1].Age, 8);
  EXPECT_EQ(a[1].Draw, 103);
  EXPECT_EQ(a[1].Hits, 3);
  EXPECT_EQ(a[1].MinGap, 3);
  EXPECT_EQ(a[1].MaxGap, 7);
  EXPECT_EQ(a[1].PrevDraw, 110);
}

TEST(Records, MergeWithoutGapTracking) {
  TStatDrawArray a;
  MergeStatDraw(a, Entry(1, 5, 3, 5), false);
  MergeStatDraw(a, Entry(1, 9, 2), false);
  EXPECT_EQ(a[0].MinGap, 0);
  EXPECT_EQ(a[0].PrevDraw, 9);
}

// With the index, merges give the entries a linear search gives: the same
// places, counters and order, also when the array grows by other means and
// when two arrays are indexed at once.
TEST(Records, MergeIndexAgreesWithTheSearch) {
  std::mt19937 random(11);
  TStatDrawArray plain;
  TStatDrawArray indexed;
  TStatDrawArray other;
  {
    const TStatDrawMergeIndex index(indexed);
    const TStatDrawMergeIndex otherIndex(other);
    EXPECT_EQ(TStatDrawMergeIndex::For(indexed), &index);
    EXPECT_EQ(TStatDrawMergeIndex::For(plain), nullptr);
    for (int i = 0; i < 3000; ++i) {
      TStatDraw e = Entry(static_cast<int16_t>(random() % 400), 100 + i, static_cast<int32_t>(random() % 5), 0,
                          static_cast<int32_t>(random() % 3));
      e.Key[2] = static_cast<int16_t>(random() % 2 - 1);  // negative components too
      const bool gaps = random() % 2 == 0;
      if (random() % 50 == 0) {  // a plain append, as the fast paths of some methods do
        plain.push_back(e);
        indexed.push_back(e);
        continue;
      }
      MergeStatDraw(plain, e, gaps);
      MergeStatDraw(indexed, e, gaps);
      MergeStatDraw(other, Entry(static_cast<int16_t>(i % 7), i, 1), true);
    }
  }
  EXPECT_EQ(TStatDrawMergeIndex::For(indexed), nullptr) << "the scope ended";
  EXPECT_GT(plain.size(), 300u);
  EXPECT_EQ(indexed, plain);
  EXPECT_EQ(other.size(), 7u);
}

TEST(Records, Totals) {
  const TStatTotals empty = StatDrawTotals({});
  EXPECT_EQ(empty.SumHits, 0);
  EXPECT_EQ(empty.MinHits, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(empty.MaxHits, 0);
  EXPECT_EQ(empty.MaxAge, 0);
  const TStatTotals t = StatDrawTotals({Entry(1, 0, 4, 0, 7), Entry(2, 0, 9, 0, 2), Entry(3, 0, 1, 0, 5)});
  EXPECT_EQ(t.SumHits, 14);
  EXPECT_EQ(t.MinHits, 2);
  EXPECT_EQ(t.MaxHits, 7);
  EXPECT_EQ(t.MaxAge, 9);
}

TEST(Records, SimpleLastValueAndProfitMerges) {
  TStatSimpleArray s;
  AddStatSimple(s, 4, 2);
  AddStatSimple(s, 4, -5);
  AddStatSimple(s, 1, 0);
  AddStatSimple(s, 4, 3);
  EXPECT_EQ(s, (TStatSimpleArray{{4, 5}, {1, 0}}));
  SortStatSimple(s);
  EXPECT_EQ(s, (TStatSimpleArray{{1, 0}, {4, 5}}));

  TLastValueArray lv;
  EXPECT_EQ(MergeLastValue(lv, 10, {1, 2, 0, 0}), -1);
  EXPECT_EQ(MergeLastValue(lv, 14, {1, 2, 0, 0}), 4);
  EXPECT_EQ(lv.size(), 1u);
  EXPECT_EQ(lv[0].Value, 14);

  TProfitDrawArray p;
  MergeProfit(p, 100, 5000);
  MergeProfit(p, 101, 1);
  MergeProfit(p, 100, -2000);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[0].Profit, 3000);
}

TEST(Records, SortStatDrawComparesKeysUnsigned) {
  TStatDrawArray a = {Entry(-1, 1, 0), Entry(5, 2, 0), Entry(5, 3, 0)};
  a[1].Key[1] = 2;
  a[2].Key[1] = 1;
  SortStatDraw(a);
  EXPECT_EQ(a[0].Draw, 3);
  EXPECT_EQ(a[1].Draw, 2);
  EXPECT_EQ(a[2].Draw, 1);  // -1 is 0xFFFF as unsigned: last
}

TEST(Records, ShortKeyForm) {
  TStatDraw e = Entry(7, 3, 2, 1, 9);
  const TStatKeyHits k = ToKeyHits(e);
  const TStatDraw back = FromKeyHits(k);
  EXPECT_EQ(back.Key, e.Key);
  EXPECT_EQ(back.Hits, 9);
  EXPECT_EQ(back.Draw, 0);
  EXPECT_EQ(back.Expected, 0);
}

}  // namespace
}  // namespace vexa
